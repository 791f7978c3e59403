#pragma once

#include "app/Platform.h"
#include "export/ReportHeader.h"
#include "export/ReportWriter.h"
#include "import/InputFileForm.h"
#include "import/RecordImport.h"
#include "record/Timeserie.h"
#include "spectra/AnalysisSettings.h"
#include "spectra/SpectraAnalysis.h"
#include "spectra/SpectraEngine.h"
#include "spectra/SpectraStore.h"
#include "ui/SpectraTables.h"
#include "ui/THData.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;
class SpectraChart;
class TimeHistoryPlots;

// The data every command works on, owned by the main window.
struct Workspace {
    std::vector<std::unique_ptr<TimeHistory>> Records; // import order; row i of every list
    ::SpectraStore SpectraStore;
    ::AnalysisSettings AnalysisSettings;
    std::string SoftwareEdition = SoftwareEditionText;
    std::int32_t MaxExportNumber = 8; // most checked records one export accepts
};

// The main window: the two pages "Time History Records" and "Elastic Response
// Spectra", the menu and the status bar. Commands collect input from the
// controls, call the core and show the result; every effect outside the
// program goes through the Platform.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(Platform& platform, QWidget* parent = nullptr);
    ~TForm1() override;

    Workspace& workspace() { return Workspace_; }
    Platform& platform() { return Platform_; }

    // Record lists and the workspace.
    void RefreshRecordLists();
    void ClearRecords();
    void ClearData();
    // Imports the first MaxImportFiles files in the chosen format; a file that
    // fails stops the import with its warning, the records before it stay.
    // A file that runs out of memory is such a failure: "Not enough memory to
    // read <name>". Records and the lists agree on every way out.
    void ImportRecordFiles(const ImportChoice& choice, const QStringList& files);
    // The import of one file ImportRecordFiles calls: ImportRecordFile, unless
    // a test stands in one that fails.
    using RecordFileImport = std::function<FileImport(const std::string&, const ImportRequest&)>;
    void SetRecordFileImport(RecordFileImport import) { ImportFile_ = std::move(import); }

    // "Apply Baseline Correction" on the record selected in lst1.
    void ApplyBaselineCorrectionCommand();
    // The record selected in lst1, or nullptr.
    TimeHistory* SelectedRecord() const;
    void ClearTimeHistoryPlots();
    void PlotSelectedRecord();

    // "Detailed Data": opens the data viewer or brings it forward.
    void ShowDetailedData();
    TForm4* Viewer() const { return Viewer_; }

    // "Analyze and Refresh" on the record chosen in cbb4. Running out of memory
    // reads "Not enough memory to analyse <name>" and keeps the last analysis.
    void btn11Click();
    // The analysis btn11Click runs: AnalyzeIntoStore, unless a test stands in
    // one that fails.
    using SpectraAnalysis = std::function<SpectraOutcome(
        SpectraEngine&, const TimeHistory&, const ::AnalysisSettings&, SpectraStore&, char)>;
    void SetSpectraAnalysis(SpectraAnalysis analysis) { Analyze_ = std::move(analysis); }
    // Reads the damping fields into the store; shows the refusal and focuses
    // the field on failure (the list is then emptied).
    bool ReadDampingRatios();
    void DrawSpectraChart();
    void FillSpectraTables();
    void ClearSpectraTables();
    void ClearSpectraChart();

    // "Export Checked Data" (time histories of lst1's checked records) and
    // "Export Checked" (spectra of lst3's checked records).
    void ExportCheckedData();
    void ExportCheckedSpectra();
    // The files both exports write through: the operating system's, unless a
    // test stands in one that fails.
    void SetReportFileSystem(ReportFileSystem& fileSystem) { ReportFiles_ = &fileSystem; }

    TimeHistoryPlots* Plots() const { return Plots_; }
    SpectraChart* Chart() const { return Chart_; }
    const SpectraGrids& Grids() const { return Grids_; }
    SpectraEngine& Engine() { return Engine_; }

    // Runs one user command: whatever it does not handle is shown through the
    // platform's error report and the program goes on.
    void RunCommand(const std::function<void()>& command);

public slots:
    void OpenImportDialog();
    void Setting1Click();
    void CheckAll();
    void CheckNone();
    void InvertCheck();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildMenu();
    void BuildTimeHistoryPage(QWidget* page);
    void BuildSpectraPage(QWidget* page);
    void BuildStatusBar();
    void PlaceSplitters();
    static void CountChecked(QListWidget* list, QLineEdit* countBox);
    void SetAllChecks(const std::function<Qt::CheckState(Qt::CheckState)>& change);
    void PageChanged(int index);

    // The folder dialog of both reports; nullopt when cancelled.
    std::optional<std::string> ChooseExportFolder();
    // Checked rows of a list, or nullopt after the user was told why not.
    std::optional<std::vector<int>> CheckedForExport(QListWidget* list,
                                                     const QString& limitMessage);

    Platform& Platform_;
    Workspace Workspace_;
    SpectraEngine Engine_;
    ReportFileSystem* ReportFiles_ = &DefaultReportFileSystem();
    RecordFileImport ImportFile_ = ImportRecordFile;
    SpectraAnalysis Analyze_ = [](SpectraEngine& engine, const TimeHistory& record,
                                  const ::AnalysisSettings& settings, SpectraStore& store,
                                  char separator) {
        return AnalyzeIntoStore(engine, record, settings, store, separator);
    };
    QPointer<TForm4> Viewer_;
    TimeHistoryPlots* Plots_ = nullptr;
    SpectraChart* Chart_ = nullptr;
    SpectraGrids Grids_{};
    QString
        ExportFolder; // where the folder dialog opens: the program's folder, then the last chosen

    QTabWidget* pgc1 = nullptr;
    // "Time History Records" page
    QListWidget* lst1 = nullptr;
    QLineEdit* edt1 = nullptr; // Number of Records
    QLineEdit* edt3 = nullptr; // Number of Checked
    QPushButton* btnImport = nullptr;
    QPushButton* btnClear = nullptr;
    QPushButton* btnDetailed = nullptr;
    QRadioButton* rbLinear = nullptr;
    QRadioButton* rbParabolic = nullptr;
    QRadioButton* rbNone = nullptr;
    QPushButton* btnApplyCorrection = nullptr;
    QPushButton* btnExportData = nullptr;
    // "Elastic Response Spectra" page
    QComboBox* cbb4 = nullptr;
    QListWidget* lst3 = nullptr;
    QLineEdit* edt14 = nullptr; // Number of Records
    QLineEdit* edt15 = nullptr; // Number of Checked
    QComboBox* cbb6 = nullptr;
    std::array<QLineEdit*, 9> DampingFields{}; // edt16 .. edt24
    QPushButton* btn11 = nullptr;
    QPushButton* btnExportSpectra = nullptr;
    QTabWidget* pgc2 = nullptr;
    // shared popup of both check lists
    QMenu* RecordListMenu = nullptr;
    // status bar
    QLabel* TipLabel = nullptr;
    QLabel* lblRecordInfo = nullptr; // the plotted record's format, time step, count, units, ...
};
