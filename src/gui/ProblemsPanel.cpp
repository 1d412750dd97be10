#include "gui/ProblemsPanel.h"

#include <QColor>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "service/ProblemsPanelLogic.h"

namespace ooa {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TProblemsPanel::TProblemsPanel(QWidget* parent, std::string path) : QWidget(parent), Path(std::move(path)) {
  setObjectName("ProblemsPanel");
  // One row per entry (what, first try, last try) with its reason on a line
  // of its own below it, across the whole width.
  ProblemTree = new QTreeWidget(this);
  ProblemTree->setObjectName("ProblemTree");
  ProblemTree->setColumnCount(3);
  ProblemTree->setHeaderLabels({"Problem", "First try", "Last try"});
  ProblemTree->setRootIsDecorated(false);
  ProblemTree->setItemsExpandable(false);
  ProblemTree->setIndentation(14);
  ProblemTree->setUniformRowHeights(true);
  ProblemTree->setSelectionMode(QAbstractItemView::SingleSelection);
  ProblemTree->setTextElideMode(Qt::ElideRight);
  ProblemTree->header()->setStretchLastSection(false);
  ProblemTree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  ProblemTree->setColumnWidth(1, 120);
  ProblemTree->setColumnWidth(2, 120);

  ReprintButton = new QPushButton("Print Again", this);
  ReprintButton->setToolTip("The next order pass prints this receipt again");
  DismissButton = new QPushButton("Dismiss", this);
  DismissButton->setToolTip("Take the entry off the list; it is not tried again");
  StatusLabel = new QLabel(this);
  StatusLabel->setObjectName("ProblemStatus");

  auto* buttons = new QHBoxLayout;
  buttons->setContentsMargins(0, 0, 0, 0);
  buttons->addWidget(StatusLabel, 1);
  buttons->addWidget(ReprintButton);
  buttons->addWidget(DismissButton);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(3);
  layout->addWidget(ProblemTree, 1);
  layout->addLayout(buttons);

  connect(ProblemTree, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
  connect(ReprintButton, &QPushButton::clicked, this, [this] { ReprintSelected(); });
  connect(DismissButton, &QPushButton::clicked, this, [this] { DismissSelected(); });

  Watch = new QTimer(this);
  Watch->setInterval(2000);
  connect(Watch, &QTimer::timeout, this, [this] { CheckFile(); });
  Watch->start();
  Refresh();
}

std::string TProblemsPanel::ListPath() const { return Path.empty() ? ProblemListPath() : Path; }

void TProblemsPanel::CheckFile() {
  const QFileInfo info(Q(ListPath()));
  const QDateTime modified = info.exists() ? info.lastModified() : QDateTime();
  const qint64 size = info.exists() ? info.size() : -1;
  if (modified == SeenModified && size == SeenSize) return;
  Refresh();
}

void TProblemsPanel::Refresh() {
  const std::string path = ListPath();
  const QFileInfo info(Q(path));
  SeenModified = info.exists() ? info.lastModified() : QDateTime();
  SeenSize = info.exists() ? info.size() : -1;

  std::string selectedId;
  if (const TProblem* p = Selected()) selectedId = p->Id;
  TOpenProblems open = LoadOpenProblems(path);
  if (!open.Error.empty()) {
    StatusLabel->setText(Q(open.Error));
    return;
  }
  Entries = std::move(open.Entries);

  ProblemTree->clear();
  for (const TProblem& p : Entries) {
    auto* item = new QTreeWidgetItem(ProblemTree);
    item->setText(0, Q(ProblemLine(p)));
    item->setText(1, Q(p.FirstTry));
    item->setText(2, Q(p.LastTry));
    item->setToolTip(0, Q(p.Id));
    auto* reason = new QTreeWidgetItem(item);
    reason->setText(0, Q(p.Reason));
    reason->setToolTip(0, Q(p.Reason));
    reason->setFirstColumnSpanned(true);
    reason->setForeground(0, QColor(0x3a, 0x4a, 0x66));
    item->setExpanded(true);
  }
  if (!selectedId.empty()) Select(selectedId);
  StatusLabel->setText(Q(StatusAfterRefresh(StatusLabel->text().toStdString(), Entries.empty())));
  UpdateButtons();
  const int count = static_cast<int>(Entries.size());
  if (count != SeenCount) {
    SeenCount = count;
    emit OpenCountChanged(count);
  }
}

const TProblem* TProblemsPanel::Selected() const {
  const QList<QTreeWidgetItem*> items = ProblemTree->selectedItems();
  if (items.isEmpty()) return nullptr;
  // The reason line stands for its entry.
  QTreeWidgetItem* item = items.front()->parent() ? items.front()->parent() : items.front();
  const int row = ProblemTree->indexOfTopLevelItem(item);
  return row >= 0 && row < static_cast<int>(Entries.size()) ? &Entries[static_cast<size_t>(row)] : nullptr;
}

bool TProblemsPanel::Select(const std::string& id) {
  for (size_t i = 0; i < Entries.size(); ++i) {
    if (Entries[i].Id != id) continue;
    ProblemTree->setCurrentItem(ProblemTree->topLevelItem(static_cast<int>(i)));
    return true;
  }
  return false;
}

void TProblemsPanel::UpdateButtons() {
  const TProblem* p = Selected();
  ReprintButton->setEnabled(CanReprint(p));
  DismissButton->setEnabled(CanDismiss(p));
}

void TProblemsPanel::ReprintSelected() {
  const TProblem* p = Selected();
  if (!p || p->Kind != "receipt") return;
  StatusLabel->setText(Q(ReprintProblem(ListPath(), *p)));
  Refresh();
}

void TProblemsPanel::DismissSelected() {
  const TProblem* p = Selected();
  if (!p) return;
  StatusLabel->setText(Q(DismissProblem(ListPath(), *p)));
  Refresh();
}

}  // namespace ooa
