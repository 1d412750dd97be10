// PrintCompanyHeader (see CompanyHeader.h).
#include "print/receipt/CompanyHeader.h"

#include "print/PrinterControlUnit.h"

namespace ooa {

void PrintCompanyHeader(const TReceiptCompany& company) {
  const std::string& name = company.CompanyName;
  const std::string& abn = company.ABN;
  const std::string& telephone = company.Telephone;
  const std::string& fax = company.Fax;
  const std::string& address = company.Address;

  if (name.size() > 20) {
    SetNormalFont();
    PrintLine(CenterText(name, 40));
  } else {
    SetDoubleWidthFont();
    PrintLine(CenterText(name, 20));
  }
  SetNormalFont();
  if (!abn.empty()) PrintLine(CenterText("A.B.N. " + abn, 40));
  std::string contact;
  if (!telephone.empty()) contact = "Tel: " + telephone;
  if (!fax.empty()) {
    if (!contact.empty()) contact += "  ";
    contact += "Fax: " + fax;
  }
  PrintLine(CenterText(contact, 40));  // printed even when empty

  // One centred line per address line. CR LF is one break; a lone CR or LF
  // is a break of its own. Empty lines print nothing.
  std::string line;
  for (size_t i = 0; i < address.size(); ++i) {
    const char c = address[i];
    if (c == '\r' || c == '\n') {
      if (!line.empty()) PrintLine(CenterText(line, 40));
      line.clear();
      if (c == '\r' && i + 1 < address.size() && address[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) PrintLine(CenterText(line, 40));
}

}  // namespace ooa
