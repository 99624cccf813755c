// TForm1: the main window. Handlers read their controls, ask through the prompt and call the
// core; every command runs through Guard, which reports an error and keeps the program going.
//
// Where the handlers live:
//   MainWindow.cpp   creation, closing, page change, Guard, the application font
//   TabSheet1.cpp    the first page " 取得、描画": Button3 (import), Button4 (export), the size
//                    boxes Edit11-Edit13, SpeedButton1-3, Edit1, Label13, the status line Label14
//   StringGrid1.cpp  the grid: current cell, selection, header clicks (GridModel and
//                    GridDelegate hold its texts and its painting)
//   PopupMenu1.cpp   the grid's popup menu N1 ... N4 and N11 "名前を付けて保存..."
//   TabSheet2.cpp    the second page " 設定、確認": Button1 (apply), StringGrid2, Button5,
//                    CheckBox2 ($DWGCODEPAGE)
#pragma once

#include "model/CellTable.h"
#include "model/Settings.h"
#include "model/TextGrid.h"
#include "sizing/Sizing.h"
#include "textconv/RangeText.h"

#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>

class GridModel;
class PreviewPage;
class Prompt;
class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableView;
class QTableWidget;
class QToolButton;
class TForm3;
class TForm4;

class TForm1 : public QWidget {
    Q_OBJECT
  public:
    // Without a prompt the window shows real message boxes. Settings and the DXF file sit beside
    // the executable.
    explicit TForm1(Prompt* prompt = nullptr);
    ~TForm1() override;

    const sheetlift::CellTable& Table() const { return table_; }
    const sheetlift::TextGrid& Texts() const { return texts_; }
    const sheetlift::Settings& CurrentSettings() const { return settings_; }
    std::filesystem::path SettingsPath() const { return settingsPath_; }
    std::filesystem::path DxfPath() const { return dxfPath_; }
    bool Importing() const { return importing_; }

    // Runs a command; an error it throws is shown in an error box and the window carries on.
    void Guard(const std::function<void()>& command);

    // Handlers.
    void FormCreate();
    void FormCloseQuery();
    void PageControl1Change(int index);
    void Button1Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Edit11KeyPress();
    void Edit12KeyPress();
    void Edit13KeyPress();
    void ShowWHSize();
    void showWhSizeGrid2();
    void StringGrid1Click();
    void StringGrid1FixedCellClick(int col, int row);
    void Edit1Change();
    void Edit1KeyUp(int key);
    void SpeedButton1Click(QToolButton* sender);
    void N1Click();
    void N12Click();
    void N5Click();
    void N2Click();
    void N6Click();
    void N7Click();
    void N9Click();
    void N4Click();
    void N11Click();

    // The grid's selection rectangle in grid coordinates (headers are row and column 0).
    sheetlift::GridRect Selection() const;
    // Selects a rectangle in grid coordinates; the bottom-right cell becomes current.
    void SetSelection(const sheetlift::GridRect& rect);

    // Controls, named as the window's user documentation names them.
    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    PreviewPage* TabSheet3; // the drawing
    QWidget* Panel1;
    QWidget* Panel2;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;
    QPushButton* Button5;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label4;
    QLabel* Label13;
    QLabel* Label14; // status line under the grid: what the last command did
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QLineEdit* Edit4;
    QLineEdit* Edit5;
    QLineEdit* Edit6;
    QLineEdit* Edit7;
    QLineEdit* Edit8;
    QLineEdit* Edit9;
    QLineEdit* Edit10;
    QLineEdit* Edit11;
    QLineEdit* Edit12;
    QLineEdit* Edit13;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton2;
    QToolButton* SpeedButton3;
    QCheckBox* CheckBox1;
    QCheckBox* CheckBox2; // settings page: $DWGCODEPAGE in the drawing
    QTableView* StringGrid1;
    QProgressBar* ProgressBar1;
    QTableWidget* StringGrid2;
    QMenu* PopupMenu1;
    TForm3* Form3;
    TForm4* Form4;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    friend class WindowImportSink;

    void BuildPage1();
    void BuildStringGrid1();
    void BuildPage2();
    void BuildPopupMenu();
    // Writes the drawing to `path` and says where it went; false for an empty table.
    bool ExportDxf(const std::filesystem::path& path);
    // The status line under the grid; an empty text hides it.
    void SetStatus(const QString& text);
    void SizeBoxEnter(QLineEdit* box, sheetlift::SizeField field, const QString& question);
    void ConvertSelection(sheetlift::TextRoutine routine);
    // Delete in the grid: empties the selected cells' texts.
    void ClearSelection();
    void PlaceRightAnchored();
    // The window's size, place and maximised state, kept in the settings file between runs.
    void RestorePlacement();
    void SavePlacement();
    // Keeps the whole text of Label4 on screen (the import's progress, the totals line).
    void FitLabel4();
    // The grid's current cell in grid coordinates; (0, 0) when there is none.
    QPoint CurrentCell() const;

    std::unique_ptr<Prompt> ownPrompt_;
    Prompt* prompt_;
    sheetlift::CellTable table_;
    sheetlift::TextGrid texts_;
    sheetlift::Settings settings_;
    GridModel* model_;
    std::filesystem::path settingsPath_;
    std::filesystem::path dxfPath_;
    std::filesystem::path saveAsPath_; // the last "名前を付けて保存..." choice
    QString lastFolder_;
    bool importing_ = false;
    bool closeRequested_ = false;
    bool quietCurrentChange_ = false;
};

// The application-wide font (Tahoma where it exists, else a Japanese UI font) at `pixels`.
QFont SheetliftFont(int pixels);

class QApplication;
// The application font, and Qt's own texts (file dialog, edit menus) in Japanese like the rest
// of the window.
void SetUpApplication(QApplication& app);
