#include "app/Unit1.h"

#include "app/BusyCursor.h"

#include "export/ReportHeader.h"
#include "export/SpectraReport.h"
#include "export/TimeHistoryReport.h"
#include "import/InputFileForm.h"
#include "import/RecordImport.h"
#include "info/About.h"
#include "info/DonationForm.h"
#include "info/HoverLabel.h"
#include "info/Links.h"
#include "record/BaselineCorrection.h"
#include "record/Integration.h"
#include "spectra/AnalysisSettingForm.h"
#include "spectra/DampingAndPeriods.h"
#include "spectra/SpectraAnalysis.h"
#include "ui/SpectraChart.h"
#include "ui/THData.h"
#include "ui/TimeHistoryPlots.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <exception>
#include <new>

namespace {

QLineEdit* CountBox(const char* name, QWidget* parent) {
    auto* box = new QLineEdit(QStringLiteral("0"), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    box->setMaximumWidth(60);
    return box;
}

QPushButton* Button(const QString& caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

// A check list of the records. The copy key does nothing: the view's own copy
// would put the row's name on the clipboard, where the user expects the last
// table selection copied. A list that keeps its selection never lets the user
// clear it (a click below the rows, Ctrl+click or Ctrl+Space on the selected
// row): its selected row is what the commands act on and what the plots show.
class RecordList : public QListWidget {
public:
    RecordList(bool keepsSelection, QWidget* parent)
        : QListWidget(parent), keepsSelection(keepsSelection) {}

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override {
        const QItemSelectionModel::SelectionFlags command =
            QListWidget::selectionCommand(index, event);
        if (keepsSelection && !selectedItems().isEmpty() &&
            (!index.isValid() || command.testFlag(QItemSelectionModel::Deselect) ||
             command.testFlag(QItemSelectionModel::Toggle))) {
            return QItemSelectionModel::NoUpdate;
        }
        return command;
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Copy)) {
            event->accept();
            return;
        }
        QListWidget::keyPressEvent(event);
    }

private:
    bool keepsSelection;
};

// The object names of a check list and of its two count boxes.
struct RecordListNames {
    const char* List;
    const char* Checked; // "Number of Checked"
    const char* Records; // "Number of Records"
};

// A check list of the records with its "Number of Checked" and "Number of
// Records" boxes below it.
void AddRecordList(QVBoxLayout& column, QWidget& group, const RecordListNames& names,
                   bool keepsSelection, QListWidget*& list, QLineEdit*& checked,
                   QLineEdit*& records) {
    list = new RecordList(keepsSelection, &group);
    list->setObjectName(QString::fromLatin1(names.List));
    column.addWidget(list, 1);
    auto* counts = new QGridLayout;
    checked = CountBox(names.Checked, &group);
    records = CountBox(names.Records, &group);
    counts->addWidget(new QLabel(QStringLiteral("Number of Checked"), &group), 0, 0);
    counts->addWidget(checked, 0, 1);
    counts->addWidget(new QLabel(QStringLiteral("Number of Records"), &group), 1, 0);
    counts->addWidget(records, 1, 1);
    column.addLayout(counts);
}

} // namespace

TForm1::TForm1(Platform& platform, QWidget* parent) : QMainWindow(parent), Platform_(platform) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("VORSEN v1.0 (by Halvik)(") +
                   QString::fromStdString(Workspace_.SoftwareEdition) + QStringLiteral(")"));

    BuildMenu();
    pgc1 = new QTabWidget(this);
    pgc1->setObjectName(QStringLiteral("pgc1"));
    auto* timeHistoryPage = new QWidget(pgc1);
    auto* spectraPage = new QWidget(pgc1);
    BuildTimeHistoryPage(timeHistoryPage);
    BuildSpectraPage(spectraPage);
    pgc1->addTab(timeHistoryPage, QStringLiteral("Time History Records"));
    pgc1->addTab(spectraPage, QStringLiteral("Elastic Response Spectra"));
    setCentralWidget(pgc1);
    BuildStatusBar();

    pgc1->setCurrentIndex(0);
    pgc2->setCurrentIndex(0);
    ClearSpectraChart();
    connect(pgc1, &QTabWidget::currentChanged, this, [this](int index) { PageChanged(index); });

    ExportFolder = QCoreApplication::applicationDirPath();
    Workspace_.AnalysisSettings = AnalysisSettings{};

    // 1054 x 545 client area, centred on the screen.
    resize(1054, 545 + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

TForm1::~TForm1() {
    if (Viewer_) {
        delete Viewer_.data();
    }
    ClearRecords();
    ClearSpectra(Workspace_.SpectraStore);
}

void TForm1::RunCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& error) {
        Platform_.ErrorReport(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        Platform_.ErrorReport(QString());
    }
}

void TForm1::BuildMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    QAction* import = file->addAction(QStringLiteral("Import Time History Records"));
    import->setObjectName(QStringLiteral("ImportTimeHistoryRecords1"));
    connect(import, &QAction::triggered, this, &TForm1::OpenImportDialog);

    QMenu* options = menuBar()->addMenu(QStringLiteral("Options"));
    QAction* settings = options->addAction(QStringLiteral("Analysis Settings"));
    settings->setObjectName(QStringLiteral("Setting1"));
    connect(settings, &QAction::triggered, this,
            [this] { RunCommand([this] { Setting1Click(); }); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("Help1"));
    QAction* about = help->addAction(QStringLiteral("About VORSEN"));
    connect(about, &QAction::triggered, this, [this] {
        RunCommand([this] {
            TAboutBox box(Platform_, this);
            Platform_.RunModal(box);
        });
    });
    QAction* donation = help->addAction(QString::fromUtf8("Donation (捐助)"));
    connect(donation, &QAction::triggered, this, [this] {
        RunCommand([this] {
            TDonationBox box(Platform_, this);
            Platform_.RunModal(box);
        });
    });
    QAction* site = help->addAction(QString::fromLatin1(Links::HomePage));
    connect(site, &QAction::triggered, this,
            [this] { OpenLink(Platform_, QString::fromLatin1(Links::HomePage)); });
    QAction* howTo = help->addAction(QStringLiteral("How to use?"));
    connect(howTo, &QAction::triggered, this,
            [this] { OpenLink(Platform_, QString::fromLatin1(Links::HowToUsePage)); });
}

void TForm1::Setting1Click() {
    TForm3 dialog(Workspace_.AnalysisSettings, Platform_, Platform_.DecimalSeparator(), this);
    Platform_.RunModal(dialog);
}

void TForm1::BuildTimeHistoryPage(QWidget* page) {
    auto* layout = new QHBoxLayout(page);
    auto* records = new QGroupBox(QStringLiteral("Time History Records"), page);
    records->setFixedWidth(230);
    auto* column = new QVBoxLayout(records);

    auto* buttons = new QHBoxLayout;
    btnImport = Button(QStringLiteral("Import Data"), "btnImport", records);
    btnClear = Button(QStringLiteral("Clear Data"), "btnClear", records);
    buttons->addWidget(btnImport);
    buttons->addWidget(btnClear);
    column->addLayout(buttons);

    AddRecordList(*column, *records, {"lst1", "edt3", "edt1"}, true, lst1, edt3, edt1);

    btnDetailed = Button(QStringLiteral("Detailed Data"), "btnDetailed", records);
    column->addWidget(btnDetailed);

    auto* correction = new QGroupBox(QStringLiteral("Base Line Correction"), records);
    auto* correctionLayout = new QVBoxLayout(correction);
    rbLinear = new QRadioButton(QStringLiteral("Linear"), correction);
    rbLinear->setObjectName(QStringLiteral("rbLinear"));
    rbLinear->setChecked(true);
    rbParabolic = new QRadioButton(QStringLiteral("Parabolic"), correction);
    rbParabolic->setObjectName(QStringLiteral("rbParabolic"));
    rbNone = new QRadioButton(QStringLiteral("No Baseline Correction"), correction);
    rbNone->setObjectName(QStringLiteral("rbNone"));
    btnApplyCorrection =
        Button(QStringLiteral("Apply Baseline Correction"), "btnApplyCorrection", correction);
    correctionLayout->addWidget(rbLinear);
    correctionLayout->addWidget(rbParabolic);
    correctionLayout->addWidget(rbNone);
    correctionLayout->addWidget(btnApplyCorrection);
    column->addWidget(correction);

    btnExportData = Button(QStringLiteral("Export Checked Data"), "btnExportData", records);
    column->addWidget(btnExportData);
    layout->addWidget(records);

    auto* graph = new QGroupBox(QStringLiteral("Graph"), page);
    graph->setObjectName(QStringLiteral("GraphGroup"));
    auto* graphLayout = new QVBoxLayout(graph);
    graphLayout->setContentsMargins(2, 2, 2, 2);
    // What the file's header says about the plotted record.
    lblRecordInfo = new QLabel(graph);
    lblRecordInfo->setObjectName(QStringLiteral("lblRecordInfo"));
    lblRecordInfo->setTextInteractionFlags(Qt::TextSelectableByMouse);
    graphLayout->addWidget(lblRecordInfo);
    Plots_ = new TimeHistoryPlots(Platform_.DecimalSeparator(), graph);
    graphLayout->addWidget(Plots_);
    layout->addWidget(graph, 1);

    RecordListMenu = new QMenu(this);
    RecordListMenu->setObjectName(QStringLiteral("RecordListMenu"));
    QAction* checkAll = RecordListMenu->addAction(QStringLiteral("Check All"));
    QAction* checkNone = RecordListMenu->addAction(QStringLiteral("Check None"));
    QAction* invert = RecordListMenu->addAction(QStringLiteral("Invert Check"));
    connect(checkAll, &QAction::triggered, this, &TForm1::CheckAll);
    connect(checkNone, &QAction::triggered, this, &TForm1::CheckNone);
    connect(invert, &QAction::triggered, this, &TForm1::InvertCheck);
    lst1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lst1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { RecordListMenu->popup(lst1->viewport()->mapToGlobal(at)); });

    connect(btnImport, &QPushButton::clicked, this, &TForm1::OpenImportDialog);
    connect(btnDetailed, &QPushButton::clicked, this,
            [this] { RunCommand([this] { ShowDetailedData(); }); });
    connect(btnExportData, &QPushButton::clicked, this,
            [this] { RunCommand([this] { ExportCheckedData(); }); });
    connect(btnApplyCorrection, &QPushButton::clicked, this,
            [this] { RunCommand([this] { ApplyBaselineCorrectionCommand(); }); });
    connect(btnClear, &QPushButton::clicked, this, [this] { RunCommand([this] { ClearData(); }); });
    connect(lst1, &QListWidget::itemChanged, this, [this] { CountChecked(lst1, edt3); });
    connect(lst1, &QListWidget::itemSelectionChanged, this, [this] {
        RunCommand([this] {
            if (SelectedRecord() != nullptr) {
                ClearTimeHistoryPlots();
                PlotSelectedRecord();
            }
        });
    });
}

void TForm1::BuildSpectraPage(QWidget* page) {
    auto* layout = new QHBoxLayout(page);
    auto* records = new QGroupBox(QStringLiteral("Time History Records"), page);
    records->setFixedWidth(230);
    auto* column = new QVBoxLayout(records);

    auto* chooser = new QHBoxLayout;
    chooser->addWidget(new QLabel(QStringLiteral("Record"), records));
    cbb4 = new QComboBox(records);
    cbb4->setObjectName(QStringLiteral("cbb4"));
    cbb4->setEditable(false);
    chooser->addWidget(cbb4, 1);
    column->addLayout(chooser);

    AddRecordList(*column, *records, {"lst3", "edt15", "edt14"}, false, lst3, edt15, edt14);

    auto* damping = new QGroupBox(QStringLiteral("Viscous Damping Values (%)"), records);
    auto* dampingLayout = new QGridLayout(damping);
    dampingLayout->addWidget(new QLabel(QStringLiteral("No.of Damping Values"), damping), 0, 0, 1,
                             2);
    cbb6 = new QComboBox(damping);
    cbb6->setObjectName(QStringLiteral("cbb6"));
    for (int i = 1; i <= 9; ++i) {
        cbb6->addItem(QString::number(i));
    }
    dampingLayout->addWidget(cbb6, 0, 2);
    const char* initial[9] = {"5", "10", "15", "20", "30", "35", "40", "50", "60"};
    for (int i = 0; i < 9; ++i) {
        auto* field = new QLineEdit(QString::fromLatin1(initial[i]), damping);
        field->setObjectName(QStringLiteral("edt%1").arg(16 + i));
        field->setEnabled(i == 0);
        DampingFields[static_cast<std::size_t>(i)] = field;
        dampingLayout->addWidget(field, 1 + i / 3, i % 3);
    }
    column->addWidget(damping);

    btn11 = Button(QStringLiteral("Analyze and Refresh"), "btn11", records);
    column->addWidget(btn11);
    btnExportSpectra = Button(QStringLiteral("Export Checked"), "btnExportSpectra", records);
    column->addWidget(btnExportSpectra);
    layout->addWidget(records);

    pgc2 = new QTabWidget(page);
    pgc2->setObjectName(QStringLiteral("pgc2"));
    Chart_ = new SpectraChart(Workspace_.SpectraStore, Platform_.DecimalSeparator(), pgc2);
    pgc2->addTab(Chart_, QStringLiteral("Graph"));
    // A table's Ctrl+A / Ctrl+C work only while the spectra page shows it.
    Grids_ = AddSpectraTableTabs(*pgc2, Platform_, [this] { return pgc1->currentIndex() == 1; });
    layout->addWidget(pgc2, 1);

    connect(btn11, &QPushButton::clicked, this, [this] { RunCommand([this] { btn11Click(); }); });
    connect(btnExportSpectra, &QPushButton::clicked, this,
            [this] { RunCommand([this] { ExportCheckedSpectra(); }); });

    lst3->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lst3, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { RecordListMenu->popup(lst3->viewport()->mapToGlobal(at)); });
    connect(lst3, &QListWidget::itemChanged, this, [this] { CountChecked(lst3, edt15); });
    // The row the user selects, by mouse or keys, and a click on the row already
    // selected, choose the same record in "Record". The focus arriving in the
    // list (Qt then makes its first row current without selecting it) does not.
    connect(lst3, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> selected = lst3->selectedItems();
        if (!selected.isEmpty()) {
            cbb4->setCurrentIndex(lst3->row(selected.front()));
        }
    });
    connect(lst3, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { cbb4->setCurrentIndex(lst3->row(item)); });
    connect(cbb6, &QComboBox::currentIndexChanged, this, [this](int index) {
        const int count = index + 1;
        for (int i = 0; i < 9; ++i) {
            DampingFields[static_cast<std::size_t>(i)]->setEnabled(i < count);
        }
    });
}

void TForm1::BuildStatusBar() {
    auto* author = new HoverLabel(QStringLiteral("Halvik"), LabelLooks::NameHover(),
                                  LabelLooks::NameLeave(), this);
    author->setObjectName(QStringLiteral("AuthorLabel"));
    auto* welcome = new QLabel(QStringLiteral("  Welcome to my Website :"), this);
    welcome->setObjectName(QStringLiteral("WelcomeLabel"));
    auto* site = new HoverLabel(QString::fromLatin1(Links::HomePage), LabelLooks::StatusHover(),
                                LabelLooks::StatusLeave(), this);
    site->setObjectName(QStringLiteral("SiteLabel"));
    site->setCursor(Qt::PointingHandCursor);
    connect(site, &HoverLabel::clicked, this,
            [this] { OpenLink(Platform_, QString::fromLatin1(Links::HomePage)); });
    TipLabel = new QLabel(QStringLiteral("Tips: grey line is corrected results!"), this);
    TipLabel->setObjectName(QStringLiteral("TipLabel"));
    statusBar()->addWidget(author);
    statusBar()->addWidget(welcome);
    statusBar()->addWidget(site);
    statusBar()->addWidget(TipLabel, 1);
}

void TForm1::PageChanged(int index) {
    TipLabel->setText(
        index == 0
            ? QStringLiteral("Tips: Grey line is corrected results!")
            : QStringLiteral("Tips: Response spectra analysis is based on corrected results."));
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    PlaceSplitters();
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    PlaceSplitters();
}

void TForm1::PlaceSplitters() {
    Plots_->PlaceSplitters();
}

void TForm1::RefreshRecordLists() {
    for (const auto& record : Workspace_.Records) {
        const QString name = QString::fromLocal8Bit(record->GetName());
        const QString description = QString::fromStdString(DescribeRecord(*record));
        for (QListWidget* list : {lst1, lst3}) {
            const QSignalBlocker blocker(list);
            auto* item = new QListWidgetItem(name, list);
            item->setToolTip(description);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
        const QSignalBlocker blocker(cbb4);
        cbb4->addItem(name);
    }
    const QString count = QString::number(Workspace_.Records.size());
    edt1->setText(count);
    edt14->setText(count);
}

void TForm1::ClearRecords() {
    for (QListWidget* list : {lst1, lst3}) {
        const QSignalBlocker blocker(list);
        list->clear();
    }
    {
        const QSignalBlocker blocker(cbb4);
        cbb4->clear();
    }
    for (QLineEdit* box : {edt1, edt3, edt14, edt15}) {
        box->setText(QStringLiteral("0"));
    }
    // First to last, then the list itself.
    for (auto& record : Workspace_.Records) {
        record.reset();
    }
    Workspace_.Records.clear();
}

void TForm1::ClearData() {
    // The viewer lets go of the records before they are destroyed.
    if (Viewer_) {
        Viewer_->ResetViewer();
    }
    ClearRecords();
    ClearTimeHistoryPlots();
    ClearSpectra(Workspace_.SpectraStore);
    ClearSpectraTables();
    ClearSpectraChart();
}

void TForm1::ImportRecordFiles(const ImportChoice& choice, const QStringList& files) {
    ClearData();
    const int count = std::min<int>(static_cast<int>(files.size()), MaxImportFiles);
    ImportRequest request;
    request.Format = choice.Format;
    request.Options.FreeType = choice.FreeType;
    request.Options.Gravity = Workspace_.AnalysisSettings.Gravity;
    request.Options.DecimalSeparator = Platform_.DecimalSeparator();
    request.Front = ImportFront::Window;
    std::string warning;
    // The records are gathered aside and become the workspace's at once, so
    // that whatever stops the import leaves Records and the lists agreeing.
    std::vector<std::unique_ptr<TimeHistory>> imported;
    {
        const BusyCursor busy;
        for (int i = 0; i < count && warning.empty(); ++i) {
            const QFileInfo file(files[i]);
            try {
                FileImport import =
                    ImportFile_(file.absoluteFilePath().toLocal8Bit().toStdString(), request);
                warning = std::move(import.Warning);
                imported.reserve(imported.size() + import.Records.size());
                for (std::unique_ptr<TimeHistory>& record : import.Records) {
                    imported.push_back(std::move(record));
                }
            } catch (const std::bad_alloc&) {
                warning =
                    "Not enough memory to read " + file.fileName().toLocal8Bit().toStdString();
            }
        }
    }
    Workspace_.Records = std::move(imported);
    const bool failed = !warning.empty();
    if (failed) {
        Platform_.Warning(QString::fromLocal8Bit(warning));
    }
    RefreshRecordLists();
    if (lst1->count() > 0) {
        const QSignalBlocker blocker(lst1);
        lst1->setCurrentRow(0);
    }
    if (cbb4->count() > 0) {
        cbb4->setCurrentIndex(0);
    }
    PlotSelectedRecord();
    if (!failed && files.size() > count) {
        const qsizetype left = files.size() - count;
        Platform_.Information(
            QStringLiteral("%1 files were chosen: the first %2 were imported, %3 "
                           "left out (one import reads at most %2 files).")
                .arg(files.size())
                .arg(count)
                .arg(left == 1 ? QStringLiteral("1 was") : QStringLiteral("%1 were").arg(left)));
    }
}

void TForm1::OpenImportDialog() {
    RunCommand([this] {
        TForm2 dialog(
            Platform_, QCoreApplication::applicationDirPath(), Platform_.DecimalSeparator(),
            [this](const ImportChoice& choice, const QStringList& files) {
                ImportRecordFiles(choice, files);
            },
            this);
        Platform_.RunModal(dialog);
    });
}

void TForm1::CountChecked(QListWidget* list, QLineEdit* countBox) {
    int checked = 0;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->checkState() == Qt::Checked) {
            ++checked;
        }
    }
    countBox->setText(QString::number(checked));
}

void TForm1::SetAllChecks(const std::function<Qt::CheckState(Qt::CheckState)>& change) {
    const bool firstPage = pgc1->currentIndex() == 0;
    QListWidget* list = firstPage ? lst1 : lst3;
    QLineEdit* countBox = firstPage ? edt3 : edt15;
    {
        const QSignalBlocker blocker(list);
        for (int i = 0; i < list->count(); ++i) {
            list->item(i)->setCheckState(change(list->item(i)->checkState()));
        }
    }
    CountChecked(list, countBox);
}

void TForm1::CheckAll() {
    SetAllChecks([](Qt::CheckState) { return Qt::Checked; });
}

void TForm1::CheckNone() {
    SetAllChecks([](Qt::CheckState) { return Qt::Unchecked; });
}

void TForm1::InvertCheck() {
    SetAllChecks(
        [](Qt::CheckState state) { return state == Qt::Checked ? Qt::Unchecked : Qt::Checked; });
}

TimeHistory* TForm1::SelectedRecord() const {
    const int row = lst1->currentRow();
    if (row < 0 || row >= static_cast<int>(Workspace_.Records.size()) ||
        lst1->selectedItems().isEmpty()) {
        return nullptr;
    }
    return Workspace_.Records[static_cast<std::size_t>(row)].get();
}

void TForm1::ApplyBaselineCorrectionCommand() {
    TimeHistory* record = SelectedRecord();
    if (record == nullptr) {
        return;
    }
    const BaselineCorrection choice = rbLinear->isChecked()      ? BaselineCorrection::Linear
                                      : rbParabolic->isChecked() ? BaselineCorrection::Parabolic
                                                                 : BaselineCorrection::None;
    const BaselineOutcome outcome =
        ApplyBaselineCorrection(*record, Workspace_.AnalysisSettings.Gravity, choice);
    if (outcome == BaselineOutcome::NoSamples) {
        return;
    }
    if (outcome == BaselineOutcome::Failed) {
        Platform_.Warning(QString::fromLatin1(BaselineCorrectionFailedText));
    }
    ClearTimeHistoryPlots();
    PlotSelectedRecord();
    if (Viewer_) {
        Viewer_->RecordChanged(lst1->currentRow());
    }
}

void TForm1::ClearTimeHistoryPlots() {
    Plots_->ClearTimeHistoryPlots();
    lblRecordInfo->clear();
}

void TForm1::PlotSelectedRecord() {
    if (const TimeHistory* record = SelectedRecord()) {
        Plots_->PlotRecord(*record);
        lblRecordInfo->setText(QString::fromStdString(DescribeRecord(*record)));
    }
}

void TForm1::ShowDetailedData() {
    if (Viewer_) {
        Viewer_->show();
        Viewer_->raise();
        Viewer_->activateWindow();
        return;
    }
    // The viewer is a window of its own that stays on top; it deletes itself on close.
    auto viewer =
        std::make_unique<TForm4>(Workspace_.Records, Platform_, Platform_.DecimalSeparator(), this);
    viewer->ResetViewer();
    viewer->FillViewerRecordList();
    viewer->ShowViewerRecord();
    Viewer_ = viewer.release();
    Viewer_->show();
}

bool TForm1::ReadDampingRatios() {
    std::vector<std::string> texts;
    for (QLineEdit* field : DampingFields) {
        texts.push_back(field->text().toStdString());
    }
    DOUBLEVECTOR& ratios = Workspace_.SpectraStore.DampingRatios;
    const std::optional<DampingFailure> failure =
        ::ReadDampingRatios(ratios, texts, cbb6->currentIndex() + 1, Platform_.DecimalSeparator());
    if (failure) {
        ratios.clear();
        Platform_.Warning(QString::fromStdString(failure->Message));
        DampingFields[static_cast<std::size_t>(failure->FieldIndex)]->setFocus();
        return false;
    }
    return true;
}

void TForm1::btn11Click() {
    const int chosen = cbb4->currentIndex();
    if (chosen < 0 || chosen >= static_cast<int>(Workspace_.Records.size())) {
        return;
    }
    Workspace_.SpectraStore.DampingRatios.clear();
    if (!ReadDampingRatios()) {
        return;
    }
    const TimeHistory& record = *Workspace_.Records[static_cast<std::size_t>(chosen)];
    SpectraOutcome outcome;
    try {
        const BusyCursor busy;
        outcome = Analyze_(Engine_, record, Workspace_.AnalysisSettings, Workspace_.SpectraStore,
                           Platform_.DecimalSeparator());
    } catch (const std::bad_alloc&) {
        // The analysis computes aside: the store, the chart and the tables keep the last one.
        Platform_.Warning(
            QString::fromLocal8Bit("Not enough memory to analyse " + record.GetName()));
        return;
    }
    if (outcome.Refusal) {
        // Nothing was computed: the store, the chart and the tables keep the last analysis.
        Platform_.Warning(QString::fromStdString(*outcome.Refusal));
        return;
    }
    ClearSpectraTables();
    ClearSpectraChart();
    for (const std::string& message : outcome.Messages) {
        Platform_.Message(QString::fromStdString(message));
    }
    DrawSpectraChart();
    FillSpectraTables();
}

void TForm1::DrawSpectraChart() {
    Chart_->DrawSpectraChart(Chart_->XAxisList()->currentIndex(),
                             Chart_->YAxisList()->currentIndex());
}

void TForm1::FillSpectraTables() {
    ::FillSpectraTables(Grids_, Workspace_.SpectraStore, Platform_.DecimalSeparator());
}

void TForm1::ClearSpectraTables() {
    ::ClearSpectraTables(Grids_);
}

void TForm1::ClearSpectraChart() {
    Chart_->ClearSpectraChart();
}

std::optional<std::vector<int>> TForm1::CheckedForExport(QListWidget* list,
                                                         const QString& limitMessage) {
    std::vector<int> rows;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->checkState() == Qt::Checked) {
            rows.push_back(i);
        }
    }
    if (rows.empty()) {
        Platform_.Information(QStringLiteral("Check the Time History Record first!"));
        return std::nullopt;
    }
    if (static_cast<std::int64_t>(rows.size()) > Workspace_.MaxExportNumber) {
        Platform_.Information(limitMessage);
        return std::nullopt;
    }
    return rows;
}

std::optional<std::string> TForm1::ChooseExportFolder() {
    const std::optional<QString> folder = Platform_.ChooseFolder(ExportFolder);
    if (!folder) {
        return std::nullopt;
    }
    ExportFolder = *folder;
    return folder->toLocal8Bit().toStdString();
}

void TForm1::ExportCheckedData() {
    const QString limit = QStringLiteral("INFORMATION: Maximum Export Number ( %1 ) was exceeded !")
                              .arg(Workspace_.MaxExportNumber);
    const std::optional<std::vector<int>> rows = CheckedForExport(lst1, limit);
    if (!rows) {
        return;
    }
    const std::optional<std::string> folder = ChooseExportFolder();
    if (!folder) {
        return;
    }
    for (int row : *rows) {
        const QDate today = Platform_.Today();
        const ReportDate date{today.year(), today.month(), today.day()};
        const std::optional<std::string> error =
            ExportTimeHistoryReport(*Workspace_.Records[static_cast<std::size_t>(row)],
                                    Workspace_.SoftwareEdition, date, *folder, *ReportFiles_);
        if (error) {
            Platform_.Warning(QString::fromLocal8Bit(*error));
            return;
        }
    }
    Platform_.Information(QStringLiteral("Done!"));
}

void TForm1::ExportCheckedSpectra() {
    const QString limit = QStringLiteral("INFORMATION: Maximum Export Number ( %1 ) was exceeded!")
                              .arg(Workspace_.MaxExportNumber);
    const std::optional<std::vector<int>> rows = CheckedForExport(lst3, limit);
    if (!rows) {
        return;
    }
    SpectraStore& store = Workspace_.SpectraStore;
    store.DampingRatios.clear();
    if (!ReadDampingRatios()) {
        return;
    }
    const AnalysisSettings& settings = Workspace_.AnalysisSettings;
    PrepareSpectraGrid(settings, store.DampingRatios, store.Periods, store.Frequencies);
    const std::optional<std::string> folder = ChooseExportFolder();
    if (!folder) {
        return;
    }
    std::optional<std::string> error;
    {
        const BusyCursor busy;
        for (int row : *rows) {
            const QDate today = Platform_.Today();
            const ReportDate date{today.year(), today.month(), today.day()};
            SpectraExportResult result = ExportSpectraReport(
                Engine_, *Workspace_.Records[static_cast<std::size_t>(row)], settings,
                store.DampingRatios, store.Periods, Workspace_.SoftwareEdition, date, *folder,
                *ReportFiles_, Platform_.DecimalSeparator());
            for (const std::string& message : result.Messages) {
                Platform_.Message(QString::fromStdString(message));
            }
            if (result.Error) {
                error = std::move(result.Error);
                break;
            }
        }
    }
    if (error) {
        Platform_.Warning(QString::fromLocal8Bit(*error));
        return;
    }
    Platform_.Information(QStringLiteral("Done!"));
}
