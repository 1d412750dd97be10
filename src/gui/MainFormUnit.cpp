#include "gui/MainFormUnit.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTabWidget>

#include "gui/AppArt.h"
#include "gui/CloseQuestion.h"
#include "gui/MemoLogSink.h"
#include "config/ActivityLog.h"
#include "config/Clock.h"
#include "config/Config.h"
#include "config/UtilUnit.h"
#include "service/ServiceController.h"
#include "gui/ProblemsPanel.h"
#include "gui/UiFonts.h"
#include "gui/controls/GradientPanel.h"
#include "gui/controls/RoundedGradientButton.h"

namespace ooa {

TMainForm::TMainForm(TServiceController& controller, std::function<void()> reinitShop, QWidget* parent)
    : QWidget(parent), Controller(controller), ReinitShop(std::move(reinitShop)) {
  setObjectName("MainForm");
  setAttribute(Qt::WA_StyledBackground);
  setWindowTitle("Tillora Classic Retail - Online Service");
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
  setWindowIcon(AppIcon());
  setFont(WindowFont());
  setFixedSize(574, 401);
  BuildControls();
  BuildTray();
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());

  ConfirmClose = [this] { return CloseQuestionBox(this)->exec() == QMessageBox::Yes; };
  Controller.OnButtonsChanged = [this] { SetButtonsStatus(); };
  Sink = std::make_unique<TMemoLogSink>(InfoMemo);
  ActivityLog().SetSink(Sink.get());
}

TMainForm::~TMainForm() {
  ActivityLog().SetSink(nullptr);
  Controller.OnButtonsChanged = nullptr;
  TrayIcon->hide();
}

void TMainForm::BuildControls() {
  VersionPanel = new TGradientPanel(this);
  VersionPanel->setGeometry(6, 6, 552, 100);
  VersionPanel->SetBorder(QColor(133, 156, 205), 1);

  BannerImage = new QLabel(VersionPanel);
  BannerImage->setGeometry(1, 1, 550, 98);
  BannerImage->setScaledContents(true);
  BannerImage->setPixmap(BannerPicture(QSize(550, 98)));

  Label1 = new QLabel("Tillora Classic", VersionPanel);
  Label1->setObjectName("Label1");
  Label1->setFont(HeadlineFont(27));
  Label1->setStyleSheet("color: black; background: transparent;");
  Label1->setAlignment(Qt::AlignCenter);
  Label1->setGeometry(0, 10, 552, 38);

  VersionLabel = new QLabel("Online Order Adaptor - Retail Edition v1.1.1", VersionPanel);
  VersionLabel->setObjectName("VersionLabel");
  VersionLabel->setAlignment(Qt::AlignCenter);
  VersionLabel->setGeometry(0, 50, 552, 20);

  Label2 = new QLabel("Catalogue upload, online order import and receipt printing for the point of sale",
                      VersionPanel);
  Label2->setObjectName("Label2");
  QFont small = font();
  small.setPointSize(7);
  Label2->setFont(small);
  Label2->setAlignment(Qt::AlignCenter);
  Label2->setGeometry(0, 74, 552, 16);

  // The activity log and the problems list share the log's place, one tab each.
  LogTabs = new QTabWidget(this);
  LogTabs->setObjectName("LogTabs");
  LogTabs->setGeometry(6, 106, 552, 246);
  LogTabs->setDocumentMode(true);
  InfoMemo = new QPlainTextEdit;
  InfoMemo->setObjectName("InfoMemo");
  InfoMemo->setReadOnly(true);
  InfoMemo->setFrameShape(QFrame::NoFrame);
  LogTabs->addTab(InfoMemo, "Activity");
  ProblemsPanel = new TProblemsPanel;
  LogTabs->addTab(ProblemsPanel, "Problems");
  connect(ProblemsPanel, &TProblemsPanel::OpenCountChanged, this, [this](int open) {
    LogTabs->setTabText(1, open > 0 ? QString("Problems (%1)").arg(open) : QString("Problems"));
  });
  LogTabs->setTabText(1, ProblemsPanel->Shown().empty() ? QString("Problems")
                                                       : QString("Problems (%1)").arg(ProblemsPanel->Shown().size()));

  StartServiceButton = new TRoundedGradientButton("Start", this, TButtonScheme::Green);
  StartServiceButton->setGeometry(6, 358, 115, 40);
  StopServiceButton = new TRoundedGradientButton("Stop", this, TButtonScheme::Red);
  StopServiceButton->setGeometry(127, 358, 115, 40);
  SetupButton = new TRoundedGradientButton("Setup", this, TButtonScheme::Blue);
  SetupButton->setGeometry(248, 358, 115, 40);
  ExitButton = new TRoundedGradientButton("Exit", this, TButtonScheme::Silver);
  ExitButton->setGeometry(473, 358, 85, 40);

  connect(StartServiceButton, &QPushButton::clicked, this, [this] { StartServiceButtonClick(); });
  connect(StopServiceButton, &QPushButton::clicked, this, [this] { StopServiceButtonClick(); });
  connect(SetupButton, &QPushButton::clicked, this, [this] { SetupButtonClick(); });
  connect(ExitButton, &QPushButton::clicked, this, [this] { ExitButtonClick(); });
}

ILogSink& TMainForm::LogSink() { return *Sink; }

void TMainForm::FormCreate() {
  ActivityLog().Clear();
  TrayIcon->show();
  LoadConfig();
  ProblemsPanel->Refresh();
  StatusLine("Now: " + std::to_string(DateTimeToUnixMs(Clock().NowLocal())));
  StartService();
}

void TMainForm::StartService() {
  // An error of the start (the print settings cannot be read) is reported
  // like any error on this thread, and the start goes no further.
  try {
    Controller.StartService();
  } catch (const std::exception& e) {
    QMessageBox::critical(this, QApplication::applicationDisplayName(), QString::fromStdString(e.what()));
  }
}
void TMainForm::StopService() { Controller.StopService(); }

void TMainForm::SetButtonsStatus() {
  TButtonsStatus s = Controller.ButtonsStatus();
  StartServiceButton->setEnabled(s.StartEnabled);
  StopServiceButton->setEnabled(s.StopEnabled);
  StopServiceMenu->setEnabled(s.StopEnabled);
  StartServiceMenu->setEnabled(s.StartEnabled);
}

void TMainForm::StartServiceButtonClick() { StartService(); }
void TMainForm::StopServiceButtonClick() { StopService(); }

void TMainForm::SetupButtonClick() {
  if (!SetupPro(this, ReinitShop, PrinterSource)) return;
  ActivityLog().Clear();
  StatusLine("Config saved.");
  QCoreApplication::processEvents();
}

}  // namespace ooa
