#include "app/Form1.h"
#include "app/ProgressBar.h"

#include "doclist/DocumentListModel.h"
#include "doclist/ListView1.h"
#include "export/BackgroundCall.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProgressBar>
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

Form1::Form1(Form1Services services, QWidget* parent)
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
    InstallListFeatures();
    Form_Load();
    PlaceOnScreenCentre();
    listView1_->setFocus();
}

Form1::~Form1() = default;

void Form1::CreateControls() {
    setFixedSize(Pixels(8040), Pixels(5715));
    setFont(ArialBold(9));
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    documents_ = new DocumentListModel(this);
    listView1_ = new ListView1(this);
    listView1_->setObjectName(QStringLiteral("ListView1"));
    listView1_->SetDocumentList(documents_);
    listView1_->SetEventHandler(this);
    listView1_->setGeometry(TwipsRect(120, 120, 7800, 2535));
    listView1_->setToolTip(
        QStringLiteral("Drag and drop files here. Double-click item to remove it. Move | line to "
                       "right and out of window to reveal full names."));

    progressBar1_ = new LiteralTextProgressBar(this);
    progressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar1_->setGeometry(TwipsRect(120, 5190, 7800, 405));
    progressBar1_->setRange(0, 100);
    progressBar1_->setValue(0);
    progressBar1_->setTextVisible(true);
    progressBar1_->setAlignment(Qt::AlignCenter);
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
    pushButton1_ = makeButton("PushButton1", QStringLiteral("Add Word File(s)"), this,
                              TwipsRect(120, 2750, 3840, 405));
    pushButton4_ = makeButton("PushButton4", QStringLiteral("Add All Word Files In Folder"), this,
                              TwipsRect(4080, 2750, 3840, 405));
    pushButton6_ = makeButton("PushButton6", QStringLiteral("Clear List"), this,
                              TwipsRect(120, 3260, 3840, 405));
    pushButton7_ = makeButton("PushButton7", QStringLiteral("Load Sample/Example Files"), this,
                              TwipsRect(4080, 3260, 3840, 405));
    pushButton2_ = makeButton("PushButton2", QStringLiteral("Start Exporting To Text"), this,
                              TwipsRect(120, 4670, 7800, 405));

    frame1_ = new QGroupBox(QStringLiteral("Save Results To This Folder"), this);
    frame1_->setObjectName(QStringLiteral("Frame1"));
    frame1_->setGeometry(TwipsRect(120, 3720, 7800, 825));

    text1_ = new QLineEdit(frame1_);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setGeometry(TwipsRect(240, 300, 6660, 345));
    text1_->setMaxLength(std::numeric_limits<int>::max());
    pushButton3_ =
        makeButton("PushButton3", QStringLiteral("..."), frame1_, TwipsRect(6960, 300, 600, 345));

    // Tab order; the progress bar and the frame take no focus.
    QWidget::setTabOrder(listView1_, pushButton1_);
    QWidget::setTabOrder(pushButton1_, pushButton4_);
    QWidget::setTabOrder(pushButton4_, pushButton6_);
    QWidget::setTabOrder(pushButton6_, pushButton7_);
    QWidget::setTabOrder(pushButton7_, pushButton2_);
    QWidget::setTabOrder(pushButton2_, text1_);
    QWidget::setTabOrder(text1_, pushButton3_);

    connect(pushButton1_, &QPushButton::clicked, this, &Form1::PushButton1_Click);
    connect(pushButton2_, &QPushButton::clicked, this, &Form1::PushButton2_Click);
    connect(pushButton3_, &QPushButton::clicked, this, &Form1::PushButton3_Click);
    connect(pushButton4_, &QPushButton::clicked, this, &Form1::PushButton4_Click);
    connect(pushButton6_, &QPushButton::clicked, this, &Form1::PushButton6_Click);
    connect(pushButton7_, &QPushButton::clicked, this, &Form1::PushButton7_Click);
    connect(text1_, &QLineEdit::textChanged, this, &Form1::Text1_Change);
}

void Form1::PlaceOnScreenCentre() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void Form1::SetMousePointer(int pointer) {
    // The export sets the hourglass twice per document and hovering sets the hand on every move:
    // only a change needs the platform's pointer updated.
    if (pointer == mousePointer_ && pointerApplied_) {
        return;
    }
    mousePointer_ = pointer;
    pointerApplied_ = true;
    if (pointer == kPointerHourglass) {
        setCursor(Qt::WaitCursor);
    } else if (pointer == kPointerCustom && mouseIcon_) {
        setCursor(*mouseIcon_);
    } else {
        setCursor(Qt::ArrowCursor);
    }
}

void Form1::closeEvent(QCloseEvent* event) {
    event->accept();
    Form_Unload();
}

void Form1::Form_Unload() {
    programEnded_ = true;
    if (services_.endProgram) {
        services_.endProgram();
    }
}
