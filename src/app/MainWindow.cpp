#include "app/MainWindow.h"

#include "app/ProgressBar.h"
#include "doclist/DocumentListModel.h"
#include "doclist/DocumentListView.h"
#include "export/BackgroundCall.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <cmath>
#include <limits>
#include <utility>

namespace {

// Positions and sizes are designed in twips, 15 to a pixel.
int Pixels(int twips) {
    return static_cast<int>(std::lround(twips / 15.0));
}

QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(Pixels(left), Pixels(top), Pixels(width), Pixels(height));
}

QFont ArialBold(qreal points) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

}  // namespace

MainWindow::MainWindow(MainWindowServices services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      services_(std::move(services)),
      conversionThread_(std::make_unique<BackgroundCall>()),
      exportRun_(*this, ExportServices{services_.converter, services_.dialogs, this, QString(),
                                       [this](const std::function<void()>& call) {
                                           conversionThread_->Run(call);
                                       }}) {
    Q_INIT_RESOURCE(corvanel);  // the icons live in this static library
    setObjectName(QStringLiteral("Form1"));
    CreateControls();
    ConnectControls();
    StartUp();
    PlaceOnScreenCentre();
    documentListView_->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::CreateControls() {
    setFixedSize(Pixels(8040), Pixels(5715));
    setFont(ArialBold(9));
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    documents_ = new DocumentListModel(this);
    documentListView_ = new DocumentListView(this);
    documentListView_->setObjectName(QStringLiteral("ListView1"));
    documentListView_->SetDocumentList(documents_);
    documentListView_->setGeometry(TwipsRect(120, 120, 7800, 2535));
    documentListView_->setToolTip(
        QStringLiteral("Drag and drop files here. Double-click item to remove it. Move | line to "
                       "right and out of window to reveal full names."));

    progressBar_ = new LiteralTextProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar_->setGeometry(TwipsRect(120, 5190, 7800, 405));
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(true);
    progressBar_->setAlignment(Qt::AlignCenter);
    SetProgressText(QStringLiteral("Progress Bar"));

    auto makeButton = [this](const char* name, const QString& caption, QWidget* owner,
                             const QRect& where) {
        auto* button = new QPushButton(caption, owner);
        button->setObjectName(QString::fromLatin1(name));
        button->setFont(ArialBold(11.25));
        button->setGeometry(where);
        button->setAutoDefault(false);
        return button;
    };
    addFilesButton_ = makeButton("PushButton1", QStringLiteral("Add Word File(s)"), this,
                                 TwipsRect(120, 2750, 3840, 405));
    addFolderButton_ = makeButton("PushButton4", QStringLiteral("Add All Word Files In Folder"),
                                  this, TwipsRect(4080, 2750, 3840, 405));
    clearListButton_ = makeButton("PushButton6", QStringLiteral("Clear List"), this,
                                  TwipsRect(120, 3260, 3840, 405));
    samplesButton_ = makeButton("PushButton7", QStringLiteral("Load Sample/Example Files"), this,
                                TwipsRect(4080, 3260, 3840, 405));
    exportButton_ = makeButton("PushButton2", QStringLiteral("Start Exporting To Text"), this,
                               TwipsRect(120, 4670, 7800, 405));

    outputFrame_ = new QGroupBox(QStringLiteral("Save Results To This Folder"), this);
    outputFrame_->setObjectName(QStringLiteral("Frame1"));
    outputFrame_->setGeometry(TwipsRect(120, 3720, 7800, 825));

    outputFolderBox_ = new QLineEdit(outputFrame_);
    outputFolderBox_->setObjectName(QStringLiteral("Text1"));
    outputFolderBox_->setGeometry(TwipsRect(240, 300, 6660, 345));
    outputFolderBox_->setMaxLength(std::numeric_limits<int>::max());
    browseOutputButton_ = makeButton("PushButton3", QStringLiteral("..."), outputFrame_,
                                     TwipsRect(6960, 300, 600, 345));

    // Tab order; the progress bar and the frame take no focus.
    QWidget::setTabOrder(documentListView_, addFilesButton_);
    QWidget::setTabOrder(addFilesButton_, addFolderButton_);
    QWidget::setTabOrder(addFolderButton_, clearListButton_);
    QWidget::setTabOrder(clearListButton_, samplesButton_);
    QWidget::setTabOrder(samplesButton_, exportButton_);
    QWidget::setTabOrder(exportButton_, outputFolderBox_);
    QWidget::setTabOrder(outputFolderBox_, browseOutputButton_);
}

void MainWindow::ConnectControls() {
    connect(addFilesButton_, &QPushButton::clicked, this, &MainWindow::AddFilesFromDialog);
    connect(exportButton_, &QPushButton::clicked, this, &MainWindow::StartExport);
    connect(browseOutputButton_, &QPushButton::clicked, this, &MainWindow::BrowseOutputFolder);
    connect(addFolderButton_, &QPushButton::clicked, this, &MainWindow::AddFolderTree);
    connect(clearListButton_, &QPushButton::clicked, this, &MainWindow::ClearList);
    connect(samplesButton_, &QPushButton::clicked, this, &MainWindow::LoadSamples);
    connect(outputFolderBox_, &QLineEdit::textChanged, this, &MainWindow::StoreOutputFolder);
    connect(documentListView_, &DocumentListView::removeRequested, this, &MainWindow::RemoveRow);
    connect(documentListView_, &DocumentListView::pathsDropped, this, &MainWindow::AddDroppedPaths);
    for (QPushButton* button : {addFilesButton_, exportButton_, browseOutputButton_,
                                addFolderButton_, clearListButton_, samplesButton_}) {
        pointer_.ShowHandOver(button);
    }
}

void MainWindow::PlaceOnScreenCentre() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void MainWindow::ShowBusyPointer(bool busy) {
    pointer_.SetBusy(busy);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    EndProgram();
}

void MainWindow::EndProgram() {
    programEnded_ = true;
    if (services_.endProgram) {
        services_.endProgram();
    }
}

int MainWindow::DocumentCount() const {
    return documents_->Count();
}

QString MainWindow::DocumentText(int position) const {
    return documents_->Text(position);
}

QString MainWindow::OutputFolderText() const {
    return outputFolderBox_->text();
}

void MainWindow::SetProgressValue(int value) {
    progressBar_->SetValueSoon(value);
}

void MainWindow::SetProgressText(const QString& text) {
    progressBar_->SetTextSoon(text);
}

void MainWindow::YieldToEvents() {
    QCoreApplication::processEvents();
}
