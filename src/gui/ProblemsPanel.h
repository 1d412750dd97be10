// TProblemsPanel: the problems list in the main window, on the tab beside the
// activity log: the orders and refunds that could not be imported, the
// receipts not printed and the catalogue objects the shop refused, each with
// its reason and first and last try. The owner can dismiss an entry, and ask
// for a receipt again (the next order pass prints it).
//
// Reads the list file (OnlineService.state) on the UI thread: when made, on
// Refresh, and whenever the file changed (looked at every two seconds). The
// passes write the file; the panel writes only a dismissal or a reprint
// request, through the list's locked change. UI thread only; owned by its
// Qt parent.
#pragma once

#include <QDateTime>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "config/ProblemList.h"

class QLabel;
class QPushButton;
class QTimer;
class QTreeWidget;

namespace ooa {

class TProblemsPanel : public QWidget {
  Q_OBJECT
 public:
  // path: the list file; empty: ProblemListPath() at each reading (the
  // settings path may change while the window lives).
  explicit TProblemsPanel(QWidget* parent = nullptr, std::string path = "");

  QTreeWidget* ProblemTree;   // per open entry a row (problem, first try, last try) and its reason below
  QPushButton* ReprintButton; // "Print Again", for a selected receipt
  QPushButton* DismissButton;
  QLabel* StatusLabel;        // "No problems." or what the last action did

  // Reads the file again now (also when it did not change).
  void Refresh();
  // The open entries as shown, in the list's order.
  const std::vector<TProblem>& Shown() const { return Entries; }
  // Selects the row of the entry with this id; false when there is none.
  bool Select(const std::string& id);
  void ReprintSelected();
  void DismissSelected();

 signals:
  // The number of open entries changed (also after the first reading).
  void OpenCountChanged(int open);

 private:
  std::string ListPath() const;
  void CheckFile();
  void UpdateButtons();
  const TProblem* Selected() const;

  std::string Path;
  std::vector<TProblem> Entries;
  QTimer* Watch;
  QDateTime SeenModified;
  qint64 SeenSize = -1;
  int SeenCount = -1;
};

}  // namespace ooa
