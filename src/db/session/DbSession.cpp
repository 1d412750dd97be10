// IDbSession's default for the sessions that give their rows all at once.
#include "db/session/DbSession.h"

namespace ooa {

void IDbSession::QueryInPieces(const std::string& batch, size_t,
                               const std::function<void(const TRecordSet&)>& piece) {
  for (const TRecordSet& set : Query(batch).Sets) piece(set);
}

}  // namespace ooa
