// The main window: it hosts the instrument list, the record and probe tables and the comment
// pane, turns the driver's completion events into status texts, progress and tables, and runs
// the user's commands through the units that define them.
#pragma once

#include "link/discovery.h"
#include "link/discovery_host.h"
#include "link/prompts.h"
#include "models/string_grid.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QSplitter;
class QTableView;
class QTimer;
class StringGridModel;
class TDevSelectBox;
class TMatForm;
class TAboutBox;
class TSettingsStore;
struct TReportSource;

// What the program was started with.
struct TStartupOptions {
    // The command line's arguments; the first one is an archive file to open.
    QStringList files;
    // Ports named with --port.
    QStringList ports;
    // Answers questions and dialogs; the window's own message boxes when empty.
    std::shared_ptr<IPrompts> prompts;
    // Where the settings folder lives; the user's documents folder when empty.
    QString documentsFolder;
    // Asks for the language on the first run (0 Russian, 1 English); the language dialog
    // when empty.
    std::function<int()> chooseLanguage;
};

class TMainForm : public QMainWindow, public IDiscoveryHost
{
    Q_OBJECT
public:
    struct TConfig {
        QByteArray Placement;
        int Lang = 0;
        int Dimension = 0;
        bool isLoadTypeFile = false;
    };

    explicit TMainForm(const TStartupOptions& options, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Loads the settings (asking for the language on the first run) before the window shows.
    void LoadSettings();
    // The rest of start-up once the window shows: the file on the command line, the scan of
    // attached instruments and the following of hot-plug.
    void Start();

    // IDiscoveryHost
    TLang ConfigLang() const override { return TLang(Config.Lang); }
    TDimensionType ConfigDimension() const override { return TDimensionType(Config.Dimension); }
    bool IsLoadTypeFile() const override { return Config.isLoadTypeFile; }
    void SetLoadTypeFile(bool value) override { Config.isLoadTypeFile = value; }
    int CurLang() const override { return m_curLang; }
    void SetStatusText(const QString& text) override;
    IDevSelectBox& DevSelectBox() override;
    void ClearDialogFileNames() override;
    void ShowLoading() override;
    void OperationCompleted(TOperationType op) override;
    IPrompts& Prompts() override { return *m_prompts; }

    void ShowTables();
    // Opens an archive file, or merges it into the records on show; throws KadrelError.
    // False when the file's model has no driver, which leaves everything as it was.
    bool OpenArchiveFile(const QString& path);
    void ApplyLanguage(int value);

    // Commands, each checking its own preconditions.
    void ActionOpenExecute();
    void ActionSaveExecute();
    void ActionSaveAsExecute();
    void ActionPrintExecute();
    void ActionCloseExecute();
    void ActionReadExecute();
    void ActionNamesExecute();
    void ActionClockExecute();
    void ActionCopyTableExecute();
    void ActionCopySelectedExecute();
    void ActionSelectedReportExecute();
    void ActionDeleteResultsExecute();
    void ActionCopyDetailsExecute();
    void ActionAppearanceExecute();
    void ActionHelpExecute();
    void ActionAboutExecute();
    void DimensionChange();
    void LanguageChange();

    QString StatusText(int panel) const;
    QString CurrentFileName() const { return m_fileName; }
    TPortDiscovery& Discovery() { return *m_discovery; }
    const TStringGrid& BasicGridCells() const { return m_basic; }
    const TStringGrid& DetailGridCells() const { return m_detail; }
    // The selected range of record rows, in table rows (the header is row 0).
    int SelectionTop() const;
    int SelectionBottom() const;
    void SelectRows(int top, int bottom);

    TConfig Config;

signals:
    // An archive read from an instrument is on show.
    void archiveShown();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void CreateActions();
    void CreateMenus();
    QAction* MakeAction(const char* name, const QString& caption,
                        const QKeySequence& shortcut = {});
    void SaveSettings();
    TSettingsStore SettingsStore() const;
    QString SettingsFolder() const;
    void RestoreSplitters();
    void Guarded(const std::function<void()>& command);
    bool DeviceReady();
    void ShowMaterials();
    void ChooseAndSave();
    TReportSource ReportSource();
    void ApplyDialogsLanguage(int value);

    void UpdateBasicGrid();
    void UpdateDetailGrid(int index);
    void FitBasicGrid();
    void FitDetailGrid();
    void BasicGridSelectCell(int row);
    void CommentMemoExit();
    void ShowComment(int index);
    void FitStatusBar();
    // The records read from the instrument on show, the first one selected.
    void ShowReadRecords();
    void ShowReadSummary();
    void SaveArchive(const QString& path);
    void CopyToClipboard(const QString& text);

    std::shared_ptr<IPrompts> m_prompts;
    std::unique_ptr<TPortDiscovery> m_discovery;
    QString m_documentsFolder;
    std::function<int()> m_chooseLanguage;
    QStringList m_pendingFiles;
    bool m_firstRun = false;
    bool m_started = false;
    bool m_splittersRestored = false;
    int m_detailWidth = 185;
    int m_commentHeight = 237;
    TMatForm* m_matForm = nullptr;
    TAboutBox* m_aboutBox = nullptr;

    TStringGrid m_basic;
    TStringGrid m_detail;
    StringGridModel* m_basicModel = nullptr;
    StringGridModel* m_detailModel = nullptr;

    QTableView* BasicGrid = nullptr;
    QTableView* DetailGrid = nullptr;
    QPlainTextEdit* CommentMemo = nullptr;
    TDevSelectBox* sDevSelectBox = nullptr;
    QProgressBar* ProgressBarLoad = nullptr;
    QLabel* m_statusPanel0 = nullptr;
    QLabel* m_statusPanel1 = nullptr;
    QSplitter* DetailSplitter = nullptr;
    QSplitter* CommentSplitter = nullptr;
    QWidget* DetailPanel = nullptr;
    QMenu* m_languageMenu = nullptr;

    QAction* ActionOpen = nullptr;
    QAction* ActionSave = nullptr;
    QAction* ActionSaveAs = nullptr;
    QAction* ActionPrint = nullptr;
    QAction* ActionClose = nullptr;
    QAction* ActionExit = nullptr;
    QAction* ActionRead = nullptr;
    QAction* ActionNames = nullptr;
    QAction* ActionClock = nullptr;
    QAction* ActionCopyTable = nullptr;
    QAction* ActionCopySelected = nullptr;
    QAction* ActionSelectedReport = nullptr;
    QAction* ActionDeleteResults = nullptr;
    QAction* ActionCopyDetails = nullptr;
    QAction* ActionAppearance = nullptr;
    QAction* ActionHelp = nullptr;
    QAction* ActionAbout = nullptr;
    QAction* smDimMPa = nullptr;
    QAction* smDimKgs = nullptr;
    QAction* smLangRu = nullptr;
    QAction* smLangEn = nullptr;
    QAction* smClockAuto = nullptr;
    QAction* smPrintComments = nullptr;

    int lastSelectRow = 0;
    // The record whose comment the pane shows, -1 for none: leaving the pane stores its text
    // there, also when the selection or the records have changed since.
    int m_commentIndex = -1;
    bool isReadAfterClockWrite = false;
    int m_curLang = 0;
    QString m_fileName;     // the current file: Save writes here without asking
    QString m_saveFileName; // the name last entered in the save dialog
    QString m_skin = "Fusion";
    bool m_skinEnable = true;
};
