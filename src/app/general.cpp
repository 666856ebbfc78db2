#include "app/general.h"

#include "app/about.h"
#include "app/dev_select_box.h"
#include "app/fit_columns.h"
#include "app/lang_form.h"
#include "app/materials.h"
#include "app/qt_prompts.h"
#include "app/string_grid_model.h"
#include "link/kadrel_error.h"
#include "models/driver_factory.h"
#include "models/messages.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace
{

const QSize InitialClientSize(923, 541);
constexpr int StatusPanel1Width = 150;

QTableView* makeGrid(const char* name, StringGridModel* model, QWidget* parent)
{
    auto* grid = new QTableView(parent);
    grid->setObjectName(name);
    grid->setModel(model);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(false);
    grid->setTabKeyNavigation(false);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->setContextMenuPolicy(Qt::ActionsContextMenu);
    return grid;
}

} // namespace

TMainForm::TMainForm(const TStartupOptions& options, QWidget* parent)
    : QMainWindow(parent),
      m_prompts(options.prompts ? options.prompts : std::make_shared<QtPrompts>()),
      m_documentsFolder(options.documentsFolder),
      m_chooseLanguage(options.chooseLanguage ? options.chooseLanguage : &TLanguageForm::Choose),
      m_pendingFiles(options.files)
{
    setObjectName("MainForm");
    setWindowTitle("KADREL-1.Connect");
    setMinimumSize(800, 600);
    setMaximumSize(2560, 1440);

    CreateControls();
    CreateActions();
    CreateMenus();
    resize(InitialClientSize.expandedTo(minimumSize()));

    m_matForm = new TMatForm(*m_prompts, this);
    m_aboutBox = new TAboutBox(this);
    m_discovery = std::make_unique<TPortDiscovery>(*this, &CreateModelDriver, this);
    m_discovery->SetExtraPorts(options.ports);
}

TMainForm::~TMainForm()
{
    // The entries of the instrument list go with the window; the driver lives on until the
    // program ends.
    m_discovery.reset();
    // The cells are members and go before the base class hides the views of a window still
    // on show; the views must not read them then.
    m_basicModel->setGrid(nullptr);
    m_detailModel->setGrid(nullptr);
}

void TMainForm::CreateControls()
{
    m_basicModel = new StringGridModel(this);
    m_detailModel = new StringGridModel(this);
    m_basicModel->setGrid(&m_basic);
    m_detailModel->setGrid(&m_detail);

    DetailSplitter = new QSplitter(Qt::Horizontal, this);
    DetailSplitter->setObjectName("DetailSplitter");
    DetailSplitter->setChildrenCollapsible(false);
    BasicGrid = makeGrid("BasicGrid", m_basicModel, DetailSplitter);
    BasicGrid->setSelectionMode(QAbstractItemView::ContiguousSelection);

    DetailPanel = new QWidget(DetailSplitter);
    DetailPanel->setObjectName("DetailPanel");
    auto* panelLayout = new QVBoxLayout(DetailPanel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    CommentSplitter = new QSplitter(Qt::Vertical, DetailPanel);
    CommentSplitter->setObjectName("CommentSplitter");
    CommentSplitter->setChildrenCollapsible(false);
    DetailGrid = makeGrid("DetailGrid", m_detailModel, CommentSplitter);
    DetailGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    CommentMemo = new QPlainTextEdit(CommentSplitter);
    CommentMemo->setObjectName("CommentMemo");
    CommentMemo->installEventFilter(this);
    panelLayout->addWidget(CommentSplitter);

    DetailSplitter->addWidget(BasicGrid);
    DetailSplitter->addWidget(DetailPanel);
    DetailSplitter->setStretchFactor(0, 1);
    DetailSplitter->setStretchFactor(1, 0);
    connect(DetailSplitter, &QSplitter::splitterMoved, this, [this] {
        m_detailWidth = DetailPanel->width();
        FitBasicGrid();
        FitDetailGrid();
    });
    connect(CommentSplitter, &QSplitter::splitterMoved, this,
            [this] { m_commentHeight = CommentMemo->height(); });
    setCentralWidget(DetailSplitter);

    sDevSelectBox = new TDevSelectBox(this);
    connect(sDevSelectBox, &TDevSelectBox::chosen, this,
            [this] { Guarded([this] { m_discovery->sDevSelectBoxChange(); }); });

    auto* status = new QStatusBar(this);
    status->setObjectName("MainStatusBar");
    status->setSizeGripEnabled(true);
    m_statusPanel0 = new QLabel(status);
    m_statusPanel0->setObjectName("StatusPanel0");
    ProgressBarLoad = new QProgressBar(status);
    ProgressBarLoad->setObjectName("ProgressBarLoad");
    ProgressBarLoad->setTextVisible(false);
    m_statusPanel1 = new QLabel(status);
    m_statusPanel1->setObjectName("StatusPanel1");
    m_statusPanel1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_statusPanel1->setFixedWidth(StatusPanel1Width);
    status->addWidget(m_statusPanel0);
    status->addWidget(ProgressBarLoad, 1);
    status->addPermanentWidget(m_statusPanel1);
    setStatusBar(status);

    connect(BasicGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    BasicGridSelectCell(current.row() + 1);
            });
}

void TMainForm::Start()
{
    if (m_started)
        return;
    m_started = true;
    if (!m_pendingFiles.isEmpty()) {
        const QString file = m_pendingFiles.first();
        Guarded([&] {
            if (OpenArchiveFile(file))
                m_fileName = file;
        });
    }
    m_discovery->StartMonitoring();
    m_discovery->ScanPorts();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    Guarded([this] { SaveSettings(); });
    event->accept();
}

void TMainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FitBasicGrid();
    FitStatusBar();
}

void TMainForm::FitStatusBar()
{
    // The left panel takes half the bar; while no progress is shown its text may use the
    // free room up to the right panel, so long summaries are not cut off.
    const int half = statusBar()->width() / 2;
    m_statusPanel0->setMinimumWidth(half);
    m_statusPanel0->setMaximumWidth(ProgressBarLoad->isVisible() ? half : QWIDGETSIZE_MAX);
}

void TMainForm::Guarded(const std::function<void()>& command)
{
    try {
        command();
    } catch (const KadrelError& error) {
        m_prompts->ShowError(error.message());
    }
}

void TMainForm::SetStatusText(const QString& text)
{
    m_statusPanel0->setText(text);
}

QString TMainForm::StatusText(int panel) const
{
    return panel == 0 ? m_statusPanel0->text() : m_statusPanel1->text();
}

IDevSelectBox& TMainForm::DevSelectBox()
{
    return *sDevSelectBox;
}

void TMainForm::ClearDialogFileNames()
{
    m_fileName.clear();
    m_saveFileName.clear();
}

void TMainForm::ShowLoading()
{
    DetailSplitter->hide();
    ProgressBarLoad->show();
    ProgressBarLoad->setValue(0);
    FitStatusBar();
}

void TMainForm::ShowTables()
{
    CommentMemo->clear();
    m_commentIndex = -1;
    DetailSplitter->show();
    ProgressBarLoad->hide();
    FitStatusBar();
    if (!m_splittersRestored) {
        m_splittersRestored = true;
        RestoreSplitters();
    }
}

void TMainForm::ActionCloseExecute()
{
    m_fileName.clear();
    m_saveFileName.clear();
    sDevSelectBox->SetItemIndex(-1);
    ShowLoading();
    ActiveDriver.reset();
    SetStatusText(Message(msgReady, Config.Lang));
    m_statusPanel1->setText(Message(msgNotConnected, Config.Lang));
}
