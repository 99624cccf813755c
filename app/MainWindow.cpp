#include "app/MainWindow.h"

#include "app/Dialogs.h"
#include "app/PreviewPage.h"
#include "app/Prompt.h"
#include "app/WindowHelpers.h"
#include "model/AppPaths.h"
#include "model/Error.h"
#include "model/FileIO.h"
#include "model/Profile.h"
#include "textconv/RangeText.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTranslator>
#include <QVBoxLayout>

using namespace sheetlift;
using namespace window;

QFont SheetliftFont(int pixels) {
    QFont font;
    // Tahoma is the design font for Latin text; where it is missing DejaVu Sans Condensed,
    // about as wide, stands in (the fixed-pitch Japanese font's full stop looks like a comma at
    // these sizes). Neither has kana, kanji or the full-width forms: they come from the Japanese
    // font after them, which must be fixed-pitch, for in a proportional one a full-width Ｍ１６
    // looks like M16 and a half-width ｱ like ア, and the user could not see what the width
    // conversions did. IPAGothic here, MS Gothic (also listed under its Japanese name) on
    // Windows.
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed"),
                      QStringLiteral("IPAGothic"), QStringLiteral("MS Gothic"),
                      QStringLiteral("ＭＳ ゴシック"), QStringLiteral("Noto Sans Mono CJK JP"),
                      QStringLiteral("monospace")});
    font.setPixelSize(pixels);
    return font;
}

void SetUpApplication(QApplication& app) {
    app.setFont(SheetliftFont(11));
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

TForm1::TForm1(Prompt* prompt)
    : ownPrompt_(prompt ? nullptr : std::make_unique<MessageBoxPrompt>()),
      prompt_(prompt ? prompt : ownPrompt_.get()),
      settingsPath_(ProgramAppFiles(ExecutablePath().stem()).settings),
      dxfPath_(ProgramAppFiles(ExecutablePath().stem()).drawing) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Sheetlift " SHEETLIFT_VERSION));
    setFont(SheetliftFont(11));
    // The design size is also the smallest: below it the right-anchored controls would run
    // over the left ones.
    setMinimumSize(kDesignSize);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, kDesignSize,
                                        screen->availableGeometry()));

    PageControl1 = Named(new QTabWidget(this), "PageControl1");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PageControl1);
    TabSheet1 = Named(new QWidget, "TabSheet1");
    TabSheet2 = Named(new QWidget, "TabSheet2");
    PageControl1->addTab(TabSheet1, QStringLiteral(" 取得、描画"));
    PageControl1->addTab(TabSheet2, QStringLiteral(" 設定、確認"));
    TabSheet3 =
        Named(new PreviewPage(table_, texts_, settings_, [this] { return CheckBox1->isChecked(); }),
              "TabSheet3");
    PageControl1->addTab(TabSheet3, QStringLiteral(" 図面"));
    connect(PageControl1, &QTabWidget::currentChanged, this, &TForm1::PageControl1Change);

    BuildPage1();
    BuildPage2();
    BuildPopupMenu();
    Form3 = new TForm3(this);
    Form4 = new TForm4(this);
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::Guard(const std::function<void()>& command) {
    SetStatus({}); // the status line tells of the last command only
    try {
        command();
    } catch (const std::exception& e) {
        prompt_->ShowError(this, ReasonText(e));
    }
}

void TForm1::FormCreate() {
    for (QLineEdit* box : {Edit1, Edit2, Edit3, Edit11, Edit12, Edit13})
        box->clear();
    Label4->clear();
    Label13->clear();
    const char sep = DecimalSeparator();
    Guard([&] { LoadSettings(settingsPath_, settings_, {sep}); });
    CheckBox1->setChecked(settings_.cellLineDraw);
    connect(CheckBox1, &QCheckBox::toggled, this,
            [this](bool checked) { settings_.cellLineDraw = checked; });
    CheckBox2->setChecked(settings_.declareCodepage);
    connect(CheckBox2, &QCheckBox::toggled, this,
            [this](bool checked) { settings_.declareCodepage = checked; });
    RestorePlacement();
    // As the file keeps them, so that applying the page changes nothing.
    const auto general = [sep](double value) { return Q(FormatGeneralExact(value, sep)); };
    Edit4->setText(general(settings_.colXsc));
    Edit5->setText(general(settings_.rowYsc));
    Edit6->setText(general(settings_.cadXsc));
    Edit7->setText(general(settings_.cadYsc));
    Edit8->setText(general(settings_.cadTsc));
    Edit9->setText(general(settings_.cadTof));
    Edit10->setText(QString::number(settings_.cellLineColor));

    StringGrid2->horizontalHeader()->hide();
    StringGrid2->verticalHeader()->hide();
    StringGrid2->setColumnWidth(0, 80);
    StringGrid2->setColumnWidth(1, 380);
    StringGrid2->setColumnHidden(2, true);
    StringGrid2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid2->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid2->setFocusPolicy(Qt::ClickFocus);
    const QString labels[] = {QStringLiteral("全幅"), QStringLiteral("全高"),
                              QStringLiteral("列幅"), QStringLiteral("行高"),
                              QStringLiteral("文字")};
    for (int row = 0; row < 5; ++row) {
        StringGrid2->setRowHeight(row, 22);
        auto* label = new QTableWidgetItem(labels[row]);
        label->setFlags(Qt::ItemIsEnabled);
        label->setBackground(palette().button());
        StringGrid2->setItem(row, 0, label);
        for (int column = 1; column < 3; ++column)
            StringGrid2->setItem(row, column, new QTableWidgetItem);
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (importing_) {
        // The import stops at its next row and closes the window then.
        closeRequested_ = true;
        event->ignore();
        return;
    }
    FormCloseQuery();
    event->accept();
}

void TForm1::FormCloseQuery() {
    table_ = CellTable{};
    StringGrid1->viewport()->update();
    Guard([this] {
        SaveSettings(settingsPath_, settings_, {DecimalSeparator()});
        SavePlacement();
    });
}

namespace {

// The window's place in the settings file, in a section of its own beside "Lumentab".
constexpr std::string_view kPlacementSection = "Window";

} // namespace

void TForm1::RestorePlacement() {
    std::optional<ProfileFile> file;
    try {
        file.emplace(settingsPath_);
    } catch (const Error&) {
        return; // the settings themselves say why, when they are loaded
    }
    int values[4];
    const char* keys[] = {"left", "top", "width", "height"};
    for (int k = 0; k < 4; ++k) {
        const auto text = file->Get(kPlacementSection, keys[k]);
        const auto value = text ? ParseInteger(*text) : std::nullopt;
        if (!value)
            return; // the first start, or a section edited by hand: the starting layout
        values[k] = *value;
    }
    const QRect rect(values[0], values[1], std::max(values[2], minimumWidth()),
                     std::max(values[3], minimumHeight()));
    // A place on a screen that is no longer there would leave the window out of reach: its
    // title bar must lie on one of the screens.
    const QRect titleBar(rect.topLeft(), QSize(rect.width(), 20));
    bool onScreen = false;
    for (const QScreen* screen : QGuiApplication::screens())
        onScreen = onScreen || screen->availableGeometry().intersects(titleBar);
    if (onScreen)
        setGeometry(rect);
    if (file->Get(kPlacementSection, "maximized") == std::string("1"))
        setWindowState(windowState() | Qt::WindowMaximized);
}

void TForm1::SavePlacement() {
    // A maximised window keeps the place it returns to.
    const QRect rect = isMaximized() ? normalGeometry() : geometry();
    ProfileFile file(settingsPath_);
    file.Set(kPlacementSection, "left", std::to_string(rect.x()));
    file.Set(kPlacementSection, "top", std::to_string(rect.y()));
    file.Set(kPlacementSection, "width", std::to_string(rect.width()));
    file.Set(kPlacementSection, "height", std::to_string(rect.height()));
    file.Set(kPlacementSection, "maximized", isMaximized() ? "1" : "0");
    file.Save();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Panel1 && event->type() == QEvent::Resize)
        PlaceRightAnchored();
    if (watched == Edit1 && event->type() == QEvent::KeyRelease)
        Edit1KeyUp(static_cast<QKeyEvent*>(event)->key());
    if (watched == StringGrid1 && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete) {
            ClearSelection();
            return true;
        }
        if (key->matches(QKeySequence::Copy)) {
            // The whole selection, ready to paste into a spreadsheet.
            QGuiApplication::clipboard()->setText(Q(RangeAsTabText(texts_, Selection())));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::PageControl1Change(int index) {
    if (index == 1)
        showWhSizeGrid2();
}
