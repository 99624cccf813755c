#include "app/MainWindow.h"

#include "app/Dialogs.h"
#include "app/GridDelegate.h"
#include "app/GridModel.h"
#include "app/Prompt.h"
#include "cad/CadBridge.h"
#include "dxf/TableDxf.h"
#include "excel/ExcelSource.h"
#include "excel/Import.h"
#include "excel/OpenSource.h"
#include "textconv/RangeText.h"
#include "textconv/TextFunctions.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>
#include <QTranslator>
#include <QVBoxLayout>

using namespace sheetlift;

namespace {

// Panel1 is laid out for this width; right-anchored controls keep their distance to its edge.
constexpr int kDesignPanelWidth = 424;

const QString kMessageCaption = QStringLiteral("メッセージ");

// Windows' active-caption colour, which the grid's fixed cells wear.
const QColor kActiveCaption(153, 180, 209);

char DecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    return point.size() == 1 && point[0].unicode() < 128 ? char(point[0].unicode()) : '.';
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string S(const QString& text) {
    return text.toStdString();
}

std::filesystem::path BesideExecutable(const char* extension) {
    std::filesystem::path path(QCoreApplication::applicationFilePath().toStdU16String());
    return path.replace_extension(extension);
}

template <class W> W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* PlaceLabel(QWidget* parent, const QString& text, int x, int y, const char* name = "") {
    auto* label = Named(new QLabel(text, parent), name);
    label->move(x, y);
    label->adjustSize();
    return label;
}

QLineEdit* NumberBox(QWidget* parent, const char* name, QRect geometry) {
    auto* box = Named(new QLineEdit(parent), name);
    box->setGeometry(geometry);
    box->setAlignment(Qt::AlignRight);
    return box;
}

// Thrown from the import's per-row progress when the window is being closed.
struct ImportCancelled {};

} // namespace

// What the import writes into the window. Rows and columns are table indices; the grid shows
// them below and right of its headers.
class WindowImportSink : public ImportSink {
  public:
    explicit WindowImportSink(TForm1& form) : f_(form) {}

    void SetCaption(const std::string& caption) override { f_.setWindowTitle(Q(caption)); }
    void SetAddresses(const std::string& first, const std::string& last) override {
        f_.Edit2->setText(Q(first));
        f_.Edit3->setText(Q(last));
    }
    void BeginGrid(int rows, int columns) override {
        f_.StringGrid1->setUpdatesEnabled(false);
        f_.quietCurrentChange_ = true;
        f_.model_->Reset(rows, columns);
        f_.StringGrid1->setCurrentIndex(f_.model_->index(0, 0));
        f_.quietCurrentChange_ = false;
        f_.StringGrid1->verticalHeader()->setFixedWidth(70);
        f_.ProgressBar1->setRange(0, rows);
        f_.ProgressBar1->setValue(0);
        rowHeights_.assign(std::size_t(rows), -1);
        columnWidths_.assign(std::size_t(columns), -1);
    }
    void EndGrid() override {
        // Sizes go to the headers in one batch: a header that changes between event pumps
        // makes the view re-measure its header texts at every row.
        Apply(f_.StringGrid1->verticalHeader(), rowHeights_);
        Apply(f_.StringGrid1->horizontalHeader(), columnWidths_);
        f_.model_->Refresh();
        f_.StringGrid1->setUpdatesEnabled(true);
        f_.StringGrid1->viewport()->update();
    }
    void Progress(int row, int rows) override {
        f_.Label4->setText(QStringLiteral("%1 / %2").arg(row).arg(rows));
        f_.ProgressBar1->setValue(row);
        QCoreApplication::processEvents();
        if (f_.closeRequested_)
            throw ImportCancelled{};
    }
    void SetRowHeader(int row, const std::string& text) override {
        f_.model_->SetRowHeader(row, text);
    }
    void SetRowHeight(int row, int pixels) override { rowHeights_[std::size_t(row)] = pixels; }
    void SetColumnHeader(int column, const std::string& text) override {
        f_.model_->SetColumnHeader(column, text);
    }
    void SetColumnWidth(int column, int pixels) override {
        columnWidths_[std::size_t(column)] = pixels;
    }
    void SetCellText(int row, int column, const std::string& text) override {
        f_.texts_.SetText(row, column, text);
    }

  private:
    static void Apply(QHeaderView* header, const std::vector<int>& sizes) {
        for (std::size_t k = 0; k < sizes.size(); ++k)
            if (sizes[k] >= 0)
                header->resizeSection(int(k), sizes[k]);
    }

    TForm1& f_;
    std::vector<int> rowHeights_; // -1: not read
    std::vector<int> columnWidths_;
};

QFont SheetliftFont(int pixels) {
    QFont font;
    // Tahoma is the design font; the Japanese fonts carry the kana and kanji where it is
    // missing, so row heights do not depend on what fontconfig would pick.
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP"),
                      QStringLiteral("sans-serif")});
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
      prompt_(prompt ? prompt : ownPrompt_.get()), settingsPath_(BesideExecutable(".ini")),
      dxfPath_(BesideExecutable(".dxf")) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Sheetlift " SHEETLIFT_VERSION));
    setFont(SheetliftFont(11));
    // The design size is also the smallest: below it the right-anchored controls would run
    // over the left ones.
    setMinimumSize(432, 288);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, QSize(432, 288),
                                        screen->availableGeometry()));

    PageControl1 = Named(new QTabWidget(this), "PageControl1");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PageControl1);
    TabSheet1 = Named(new QWidget, "TabSheet1");
    TabSheet2 = Named(new QWidget, "TabSheet2");
    PageControl1->addTab(TabSheet1, QStringLiteral(" 取得、描画"));
    PageControl1->addTab(TabSheet2, QStringLiteral(" 設定、確認"));
    connect(PageControl1, &QTabWidget::currentChanged, this, &TForm1::PageControl1Change);

    BuildPage1();
    BuildPage2();
    BuildPopupMenu();
    Form3 = new TForm3(this);
    Form4 = new TForm4(this);
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::BuildPage1() {
    Panel1 = Named(new QWidget(TabSheet1), "Panel1");
    Panel1->setFixedHeight(99);
    Panel1->installEventFilter(this);
    Panel2 = Named(new QWidget(TabSheet1), "Panel2");
    auto* page = new QVBoxLayout(TabSheet1);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    page->addWidget(Panel1);
    page->addWidget(Panel2);

    const auto button = [this](const char* name, const QString& caption, QRect geometry) {
        auto* b = Named(new QPushButton(caption, Panel1), name);
        b->setGeometry(geometry);
        return b;
    };
    Button2 = button("Button2", QStringLiteral("Bricscad へ描画"), {8, 1, 90, 25});
    Button2->hide();
    Label1 = PlaceLabel(Panel1, QStringLiteral("対象セル："), 174, 3, "Label1");
    Button3 = button("Button3", QStringLiteral("Excel から取得"), {324, 1, 90, 25});
    Button3->setToolTip(QStringLiteral("アクティブな Excel から選択範囲を取得します"));
    const auto address = [this](const char* name, QRect geometry) {
        auto* e = Named(new QLineEdit(Panel1), name);
        e->setGeometry(geometry);
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::ClickFocus);
        e->setFont(SheetliftFont(13));
        return e;
    };
    // The address boxes are wider than Excel's own, so that an address like CV1000 fits.
    Edit2 = address("Edit2", {176, 22, 62, 24});
    Label2 = PlaceLabel(Panel1, QStringLiteral("～"), 240, 24, "Label2");
    Edit3 = address("Edit3", {256, 22, 62, 24});
    Label4 = PlaceLabel(Panel1, QString(), 8, 32, "Label4"); // its width ends before Edit2
    Button4 = button("Button4", QStringLiteral("IJCAD へ挿入"), {324, 32, 90, 36});
    Button4->setToolTip(QStringLiteral("DXF ファイル作成,、AutoCAD, Bricscad に挿入"));
    Button4->setEnabled(false);
    connect(Button3, &QPushButton::clicked, this, [this] { Guard([this] { Button3Click(); }); });
    connect(Button4, &QPushButton::clicked, this, [this] { Guard([this] { Button4Click(); }); });

    Edit13 = NumberBox(Panel1, "Edit13", {8, 52, 49, 21});
    Edit13->setToolTip(QStringLiteral("文字高さ [Enter]で更新"));
    const auto speed = [this](const char* name, const QString& caption, const QString& hint,
                              int x) {
        auto* b = Named(new QToolButton(Panel1), name);
        b->setText(caption);
        b->setToolTip(hint);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus); // a speed button never takes the focus from the grid
        b->setGeometry(x, 50, 23, 22);
        connect(b, &QToolButton::clicked, this, [this, b] { SpeedButton1Click(b); });
        return b;
    };
    SpeedButton1 = speed("SpeedButton1", QStringLiteral("左"), QStringLiteral("文字基点 [左]"), 61);
    SpeedButton2 = speed("SpeedButton2", QStringLiteral("中"), QStringLiteral("文字基点 [中]"), 82);
    SpeedButton3 =
        speed("SpeedButton3", QStringLiteral("右"), QStringLiteral("文字基点 [右]"), 103);
    Edit11 = NumberBox(Panel1, "Edit11", {133, 52, 49, 21});
    Edit11->setToolTip(QStringLiteral("列幅 [Enter]で更新"));
    Edit12 = NumberBox(Panel1, "Edit12", {188, 52, 49, 21});
    Edit12->setToolTip(QStringLiteral("行高さ [Enter]で更新"));
    connect(Edit11, &QLineEdit::returnPressed, this,
            [this] { Guard([this] { Edit11KeyPress(); }); });
    connect(Edit12, &QLineEdit::returnPressed, this,
            [this] { Guard([this] { Edit12KeyPress(); }); });
    connect(Edit13, &QLineEdit::returnPressed, this,
            [this] { Guard([this] { Edit13KeyPress(); }); });
    CheckBox1 = Named(new QCheckBox(QStringLiteral("セルを描画"), Panel1), "CheckBox1");
    CheckBox1->setGeometry(249, 52, 71, 17);
    Edit1 = Named(new QLineEdit(Panel1), "Edit1");
    Edit1->setGeometry(8, 74, 364, 24);
    Edit1->setFont(SheetliftFont(13));
    Edit1->setToolTip(QStringLiteral("赤文字の時：改行コードが含まれている"));
    Edit1->installEventFilter(this);
    connect(Edit1, &QLineEdit::textChanged, this, &TForm1::Edit1Change);
    Label13 = PlaceLabel(Panel1, QString(), 378, 80, "Label13");
    Label13->setFixedWidth(46);

    StringGrid1 = Named(new QTableView(Panel2), "StringGrid1");
    ProgressBar1 = Named(new QProgressBar(Panel2), "ProgressBar1");
    ProgressBar1->setFixedHeight(9);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setValue(0);
    auto* lower = new QVBoxLayout(Panel2);
    lower->setContentsMargins(0, 0, 0, 0);
    lower->setSpacing(0);
    lower->addWidget(StringGrid1);
    lower->addWidget(ProgressBar1);

    model_ = new GridModel(texts_, this);
    StringGrid1->setModel(model_);
    StringGrid1->setItemDelegate(new GridDelegate(table_, StringGrid1));
    StringGrid1->setFont(SheetliftFont(13));
    StringGrid1->setToolTip(QStringLiteral(
        "範囲選択=固定部クリック or [Shit]+矢印キー. 右クリックで選択範囲の文字変換メニュー"));
    StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::DoubleClicked |
                                 QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::AnyKeyPressed);
    StringGrid1->setWordWrap(false);
    // Fixed cells: the active-caption colour, texts centred from the top like the data cells.
    QPalette fixedCells = StringGrid1->palette();
    fixedCells.setColor(QPalette::Button, kActiveCaption);
    for (QHeaderView* header : {StringGrid1->horizontalHeader(), StringGrid1->verticalHeader()}) {
        header->setPalette(fixedCells);
        header->setDefaultAlignment(Qt::AlignHCenter | Qt::AlignTop);
        header->setMinimumSectionSize(0);
        header->setSectionResizeMode(QHeaderView::Interactive);
        header->setSectionsClickable(true);
        // The grid's own header selection would make the clicked cell current and select
        // while dragging; a click here selects the whole column or row and nothing else.
        disconnect(header, &QHeaderView::sectionPressed, StringGrid1, nullptr);
        disconnect(header, &QHeaderView::sectionEntered, StringGrid1, nullptr);
    }
    StringGrid1->verticalHeader()->setDefaultSectionSize(20);
    StringGrid1->verticalHeader()->setFixedWidth(70);
    connect(StringGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { StringGrid1FixedCellClick(column + 1, 0); });
    connect(StringGrid1->verticalHeader(), &QHeaderView::sectionClicked, this,
            [this](int row) { StringGrid1FixedCellClick(0, row + 1); });
    if (auto* corner = StringGrid1->findChild<QAbstractButton*>()) {
        corner->setPalette(fixedCells);
        disconnect(corner, nullptr, StringGrid1, nullptr);
        connect(corner, &QAbstractButton::clicked, this,
                [this] { StringGrid1FixedCellClick(0, 0); });
    }
    connect(StringGrid1->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!quietCurrentChange_)
            StringGrid1Click();
    });
    connect(StringGrid1, &QTableView::clicked, this, &TForm1::StringGrid1Click);
    // After an edit in place Edit1 shows the new text, so typing there cannot undo the edit.
    connect(StringGrid1->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            &TForm1::StringGrid1Click);
    StringGrid1->installEventFilter(this);
    StringGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(StringGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopupMenu1->popup(StringGrid1->viewport()->mapToGlobal(pos));
    });
}

void TForm1::BuildPage2() {
    auto* display = Named(new QGroupBox(QStringLiteral("表示"), TabSheet2), "GroupBox1");
    display->setGeometry(3, 3, 166, 70);
    PlaceLabel(display, QStringLiteral("X 尺度"), 12, 19);
    PlaceLabel(display, QStringLiteral("Y 尺度"), 12, 44);
    Edit4 = NumberBox(display, "Edit4", {74, 16, 78, 21});
    Edit5 = NumberBox(display, "Edit5", {74, 41, 78, 21});

    auto* cad = Named(new QGroupBox(QStringLiteral("CAD, DXF"), TabSheet2), "GroupBox2");
    cad->setGeometry(3, 75, 166, 182);
    PlaceLabel(cad, QStringLiteral("X 尺度"), 12, 22);
    PlaceLabel(cad, QStringLiteral("Y 尺度"), 12, 47);
    PlaceLabel(cad, QStringLiteral("文字尺度"), 12, 72);
    Edit6 = NumberBox(cad, "Edit6", {74, 19, 78, 21});
    Edit7 = NumberBox(cad, "Edit7", {74, 44, 78, 21});
    Edit8 = NumberBox(cad, "Edit8", {74, 69, 78, 21});
    PlaceLabel(cad, QStringLiteral("文字基点オフセット X 尺度"), 12, 95);
    PlaceLabel(cad, QStringLiteral("文字高さの"), 12, 114);
    Edit9 = NumberBox(cad, "Edit9", {74, 111, 66, 21});
    PlaceLabel(cad, QStringLiteral("倍"), 144, 114);
    auto* colorLabel = PlaceLabel(cad, QStringLiteral("セル区切り線の色番号"), 12, 137);
    auto* bylayer = PlaceLabel(cad, QStringLiteral("( BYLAER = 256 )"), 12, 156);
    Edit10 = NumberBox(cad, "Edit10", {114, 153, 38, 21});
    for (QWidget* w : {static_cast<QWidget*>(colorLabel), static_cast<QWidget*>(bylayer),
                       static_cast<QWidget*>(Edit10)})
        w->setEnabled(false);

    Button1 = Named(new QPushButton(QStringLiteral("変更を反映"), TabSheet2), "Button1");
    Button1->setGeometry(254, 206, 90, 26);
    connect(Button1, &QPushButton::clicked, this, [this] { Guard([this] { Button1Click(); }); });
    StringGrid2 = Named(new QTableWidget(5, 3, TabSheet2), "StringGrid2");
    StringGrid2->setGeometry(178, 81, 231, 116);
    Button5 = Named(new QPushButton(QStringLiteral("逆算"), TabSheet2), "Button5");
    Button5->setGeometry(374, 50, 41, 25);
    Button5->hide();
    connect(Button5, &QPushButton::clicked, this, [this] { Guard([this] { Button5Click(); }); });
}

void TForm1::BuildPopupMenu() {
    PopupMenu1 = Named(new QMenu(this), "PopupMenu1");
    const auto item = [this](const char* name, const QString& caption, void (TForm1::*handler)()) {
        QAction* action = Named(PopupMenu1->addAction(caption), name);
        connect(action, &QAction::triggered, this,
                [this, handler] { Guard([=, this] { (this->*handler)(); }); });
    };
    const auto separator = [this](const char* name) { Named(PopupMenu1->addSeparator(), name); };
    item("N1", QStringLiteral("半角->全角"), &TForm1::N1Click);
    item("N12", QStringLiteral("半角->全角（数字のみの文字列は除外）"), &TForm1::N12Click);
    item("N5", QStringLiteral("半角カナ->全角"), &TForm1::N5Click);
    separator("N3");
    item("N2", QStringLiteral("全角->半角"), &TForm1::N2Click);
    item("N6", QStringLiteral("全角数字->半角"), &TForm1::N6Click);
    item("N7", QStringLiteral("全角アルファベット->半角"), &TForm1::N7Click);
    separator("N8");
    item("N9", QStringLiteral("代替文字を含む禁止文字->半角"), &TForm1::N9Click);
    separator("N10");
    item("N4", QStringLiteral("置換"), &TForm1::N4Click);
}

void TForm1::Guard(const std::function<void()>& command) {
    try {
        command();
    } catch (const Error& e) {
        prompt_->ShowError(this, Q(ErrorText(e, Language::Japanese)));
    } catch (const std::exception& e) {
        prompt_->ShowError(this, Q(e.what()));
    }
}

void TForm1::FormCreate() {
    for (QLineEdit* box : {Edit1, Edit2, Edit3, Edit11, Edit12, Edit13})
        box->clear();
    Label4->clear();
    Label13->clear();
    const char sep = DecimalSeparator();
    Guard([&] { CheckBox1->setChecked(LoadSettings(settingsPath_, settings_, {sep})); });
    const auto general = [sep](double value) { return Q(FormatGeneral(value, sep)); };
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
        SaveSettings(settingsPath_, settings_, CheckBox1->isChecked(), {DecimalSeparator()});
    });
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

void TForm1::PlaceRightAnchored() {
    const int shift = Panel1->width() - kDesignPanelWidth;
    const struct {
        QWidget* widget;
        int x;
        int y;
    } anchored[] = {{Label1, 174, 3}, {Button3, 324, 1},  {Edit2, 176, 22},     {Label2, 240, 24},
                    {Edit3, 256, 22}, {Button4, 324, 32}, {CheckBox1, 249, 52}, {Label13, 378, 80}};
    for (const auto& a : anchored)
        a.widget->move(a.x + shift, a.y);
    Label4->resize(std::max(Edit2->x() - 4 - Label4->x(), 0), Label4->height());
    Edit1->resize(std::max(364 + shift, 40), Edit1->height());
}

void TForm1::PageControl1Change(int index) {
    if (index == 1)
        showWhSizeGrid2();
}

QPoint TForm1::CurrentCell() const {
    const QModelIndex current = StringGrid1->currentIndex();
    return current.isValid() ? QPoint(current.column() + 1, current.row() + 1) : QPoint(0, 0);
}

GridRect TForm1::Selection() const {
    const QItemSelection selection = StringGrid1->selectionModel()->selection();
    if (selection.isEmpty()) {
        const QPoint c = CurrentCell();
        if (c.x() == 0)
            return GridRect{1, 1, 0, 0}; // nothing
        return GridRect{c.x(), c.y(), c.x(), c.y()};
    }
    GridRect rect{INT_MAX, INT_MAX, 0, 0};
    for (const QItemSelectionRange& range : selection) {
        rect.left = std::min(rect.left, range.left() + 1);
        rect.top = std::min(rect.top, range.top() + 1);
        rect.right = std::max(rect.right, range.right() + 1);
        rect.bottom = std::max(rect.bottom, range.bottom() + 1);
    }
    return rect;
}

void TForm1::SetSelection(const GridRect& rect) {
    const QModelIndex topLeft = model_->index(rect.top - 1, rect.left - 1);
    const QModelIndex bottomRight = model_->index(rect.bottom - 1, rect.right - 1);
    if (!topLeft.isValid() || !bottomRight.isValid())
        return;
    quietCurrentChange_ = true;
    StringGrid1->selectionModel()->setCurrentIndex(bottomRight, QItemSelectionModel::NoUpdate);
    StringGrid1->selectionModel()->select(QItemSelection(topLeft, bottomRight),
                                          QItemSelectionModel::ClearAndSelect);
    quietCurrentChange_ = false;
}

void TForm1::StringGrid1FixedCellClick(int col, int row) {
    const int columns = model_->columnCount() + 1, rows = model_->rowCount() + 1;
    if (col == 0 && row == 0)
        SetSelection({1, 1, columns - 1, rows - 1});
    else if (row == 0)
        SetSelection({col, 1, col, rows - 1});
    else if (col == 0)
        SetSelection({1, row, columns - 1, row});
}

void TForm1::StringGrid1Click() {
    const QPoint c = CurrentCell();
    Edit1->setText(model_->Text(c.y() - 1, c.x() - 1));
    QPalette palette = Edit1->palette();
    palette.setColor(QPalette::Text,
                     Edit1->text().contains(QLatin1Char('\n')) ? Qt::red : Qt::black);
    Edit1->setPalette(palette);
    Label13->clear();
    if (c.x() > 0 && c.y() > 0 && !table_.empty()) {
        const int i = c.y() - 1, j = c.x() - 1;
        const std::uint8_t align = table_.at(i, j).txtAlign;
        SpeedButton1->setAutoRaise(align != 1);
        SpeedButton2->setAutoRaise(align != 2);
        SpeedButton3->setAutoRaise(align != 3);
        const char sep = DecimalSeparator();
        Edit11->setText(Q(FormatFixed3(CellSize(table_, i, j, SizeField::ColumnWidth), sep)));
        Edit12->setText(Q(FormatFixed3(CellSize(table_, i, j, SizeField::RowHeight), sep)));
        Edit13->setText(Q(FormatFixed3(CellSize(table_, i, j, SizeField::TextHeight), sep)));
    }
}

void TForm1::Edit1Change() {
    const QPoint c = CurrentCell();
    if (c.x() >= 1 && c.y() >= 1)
        model_->SetText(c.y() - 1, c.x() - 1, Edit1->text());
}

void TForm1::Edit1KeyUp(int key) {
    if (key < Qt::Key_Left || key > Qt::Key_Down)
        return;
    const int p = Edit1->hasSelectedText() ? Edit1->selectionStart() : Edit1->cursorPosition();
    const QString text = Edit1->text();
    if (p < text.size())
        Label13->setText(
            QStringLiteral("[%1]").arg(text[p].unicode(), 4, 16, QLatin1Char('0')).toUpper());
    else
        Label13->clear();
}

void TForm1::SpeedButton1Click(QToolButton* sender) {
    const int value = sender == SpeedButton1   ? 1
                      : sender == SpeedButton2 ? 2
                      : sender == SpeedButton3 ? 3
                                               : 0;
    if (value == 0)
        return;
    const QPoint c = CurrentCell();
    if (!importing_ && c.x() >= 1 && c.y() >= 1 && !table_.empty()) {
        const GridRect rect = Selection();
        for (int y = std::max(rect.top, 1); y <= std::min(rect.bottom, table_.cellRows); ++y)
            for (int x = std::max(rect.left, 1); x <= std::min(rect.right, table_.cellCols); ++x)
                table_.at(y - 1, x - 1).txtAlign = std::uint8_t(value);
    }
    StringGrid1->viewport()->update();
}

void TForm1::SizeBoxEnter(QLineEdit* box, SizeField field, const QString& question) {
    if (importing_)
        return;
    const char sep = DecimalSeparator();
    const double value = ParseSizeText(S(box->text()), sep);
    if (!(value > 0) || table_.empty())
        return;
    if (prompt_->Confirm(StringGrid1, question)) {
        SetSizeForSelection(table_, Selection(), field, value);
        box->setText(Q(FormatFixed3(value, sep)));
        ShowWHSize();
    } else {
        const QPoint c = CurrentCell();
        box->setText(Q(FormatFixed3(CellSize(table_, c.y() - 1, c.x() - 1, field), sep)));
    }
}

void TForm1::Edit11KeyPress() {
    SizeBoxEnter(Edit11, SizeField::ColumnWidth, QStringLiteral("選択範囲の列幅を変更しますか？"));
}

void TForm1::Edit12KeyPress() {
    SizeBoxEnter(Edit12, SizeField::RowHeight, QStringLiteral("選択範囲の行高さを変更しますか？"));
}

void TForm1::Edit13KeyPress() {
    SizeBoxEnter(Edit13, SizeField::TextHeight,
                 QStringLiteral("選択範囲の文字高さを変更しますか？"));
}

void TForm1::ShowWHSize() {
    Label4->setText(Q(WHSizeText(table_, DecimalSeparator())));
}

void TForm1::showWhSizeGrid2() {
    const std::optional<SizeSummary> summary = SummarizeSizes(table_, DecimalSeparator());
    if (!summary)
        return;
    for (int row = 0; row < 5; ++row) {
        StringGrid2->item(row, 1)->setText(Q(summary->shown[std::size_t(row)]));
        StringGrid2->item(row, 2)->setText(Q(summary->values[std::size_t(row)]));
    }
}

void TForm1::Button1Click() {
    if (importing_ || table_.empty())
        return;
    if (!prompt_->Confirm(this,
                          QStringLiteral("尺度を更新すると個別に設定した列幅、列高さ、文字高さが"
                                         "リセット（再計算）されます．\n設定を更新しますか？")))
        return;
    settings_ =
        SettingsFromTexts({S(Edit4->text()), S(Edit5->text()), S(Edit6->text()), S(Edit7->text()),
                           S(Edit8->text()), S(Edit9->text()), S(Edit10->text())},
                          settings_, DecimalSeparator());
    CalcCellLayout(table_, settings_);
    StringGrid1->viewport()->update();
    showWhSizeGrid2();
}

void TForm1::Button5Click() {
    const auto checks = Form4->CheckBoxes();
    const auto edits = Form4->Edits();
    for (int row = 0; row < 5; ++row)
        edits[std::size_t(row)]->setText(StringGrid2->item(row, 2)->text());
    for (QCheckBox* check : checks)
        check->setChecked(false);
    if (importing_ || table_.empty())
        return;
    if (!prompt_->RunDialog(*Form4))
        return;
    QLineEdit* const scales[] = {Edit6, Edit7, Edit8};
    const char sep = DecimalSeparator();
    bool ticked = false;
    for (int row = 0; row < 5; ++row) {
        if (!checks[std::size_t(row)]->isChecked())
            continue;
        ticked = true;
        QLineEdit* scale = scales[kReverseScaleOfRow[std::size_t(row)]];
        if (const auto text =
                ReverseScale(S(StringGrid2->item(row, 2)->text()),
                             S(edits[std::size_t(row)]->text()), S(scale->text()), sep))
            scale->setText(Q(*text));
    }
    if (ticked)
        Button1Click();
}

void TForm1::Button3Click() {
    if (importing_)
        return;
    const bool hadTable = Button4->isEnabled();
    Button3->setEnabled(false);
    Button4->setEnabled(false);
    // The running Excel where there is one to read; elsewhere a saved workbook or snapshot.
    QString file;
    if (!CanReadRunningExcel()) {
        file = prompt_->ChooseFile(this, lastFolder_);
        if (file.isEmpty()) {
            Button4->setEnabled(hadTable);
            Button3->setEnabled(true);
            return;
        }
        lastFolder_ = QFileInfo(file).absolutePath();
    }
    bool done = false;
    QString attachFailure, reason;
    importing_ = true;
    try {
        WindowImportSink sink(*this);
        const auto source = file.isEmpty()
                                ? MakeExcelSource()
                                : OpenSelectionFile(std::filesystem::path(file.toStdU16String()));
        ImportSelection(*source, sink, table_, settings_);
        done = true;
    } catch (const ImportCancelled&) {
    } catch (const AttachError& e) {
        attachFailure =
            QStringLiteral("クラス名: ") + Q(e.progId()) + QStringLiteral(" は無効です.");
    } catch (const Error& e) {
        reason = Q(ErrorText(e, Language::Japanese));
    } catch (const std::exception& e) {
        reason = Q(e.what());
    }
    importing_ = false;
    if (closeRequested_) {
        Button3->setEnabled(true);
        close();
        return;
    }
    // The details follow the grid's new current cell, so that typing in Edit1 never writes an
    // earlier table's text into the new one.
    StringGrid1Click();
    if (done) {
        ProgressBar1->setValue(0);
        ShowWHSize();
        prompt_->Inform(this, kMessageCaption, QStringLiteral(" 取得しました."));
        Button4->setEnabled(true);
        StringGrid1->setFocus(); // the arrow keys move through the new table at once
    } else {
        if (!attachFailure.isEmpty())
            prompt_->Inform(this, kMessageCaption, attachFailure);
        QString text = QStringLiteral("取得に失敗しました.");
        if (!reason.isEmpty())
            text += QLatin1Char('\n') + reason;
        prompt_->Inform(this, kMessageCaption, text);
    }
    Button3->setEnabled(true);
}

void TForm1::Button4Click() {
    if (importing_)
        return;
    const DxfResult result =
        WriteTableDxf(table_, texts_, settings_, CheckBox1->isChecked(), dxfPath_);
    if (!result.written)
        return;
    if (!result.warnings.empty()) {
        QStringList lines;
        for (const std::string& warning : result.warnings)
            lines << Q(warning);
        prompt_->Inform(this, kMessageCaption, lines.join(QLatin1Char('\n')));
    }
    InsertDxfIntoCad(dxfPath_);
}

void TForm1::ConvertSelection(TextRoutine routine) {
    if (importing_ || texts_.rows() == 0)
        return;
    const GridRect rect = Selection();
    ConvertRange(texts_, rect, routine);
    model_->TextsChanged(rect.top - 1, rect.left - 1, rect.bottom - 1, rect.right - 1);
}

void TForm1::ClearSelection() {
    ConvertSelection([](std::string_view) { return std::string(); });
    StringGrid1Click();
}

void TForm1::N1Click() {
    ConvertSelection(ToFullWidth);
}

void TForm1::N12Click() {
    ConvertSelection(ToFullWidthUnlessNumeric);
}

void TForm1::N5Click() {
    ConvertSelection(HalfKanaToFull);
}

void TForm1::N2Click() {
    ConvertSelection(ToHalfWidth);
}

void TForm1::N6Click() {
    ConvertSelection(FullDigitsToHalf);
}

void TForm1::N7Click() {
    ConvertSelection(FullAlphaToHalf);
}

void TForm1::N9Click() {
    ConvertSelection(FullSymbolsToHalf);
}

void TForm1::N4Click() {
    if (importing_ || !prompt_->RunDialog(*Form3))
        return;
    int count = 0;
    if (texts_.rows() != 0) {
        const GridRect rect = Selection();
        count = ReplaceFirstInRange(texts_, rect, S(Form3->Edit1->text()), S(Form3->Edit2->text()));
        model_->TextsChanged(rect.top - 1, rect.left - 1, rect.bottom - 1, rect.right - 1);
    }
    prompt_->Inform(this, kAppTitle,
                    QString::number(count) + QStringLiteral(" 個の文字列を置換しました."));
}
