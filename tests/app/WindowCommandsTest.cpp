// The main window's commands, run headless through the fake desktop.
#include "app/BusyCursor.h"
#include "app/Unit1.h"
#include "info/HoverLabel.h"
#include "info/Links.h"
#include "spectra/CircularFrequency.h"
#include "support/FakePlatform.h"
#include "text/NumberText.h"
#include "ui/SpectraChart.h"
#include "ui/StringGrid.h"
#include "ui/TimeHistoryPlots.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QXYSeries>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// A small record with a realistic shape: a decaying two-frequency motion (g).
std::string Motion(int samples, double scale = 1.0) {
    std::ostringstream text;
    for (int i = 0; i < samples; ++i) {
        const double t = i * 0.01;
        text << scale * 0.3 * std::exp(-0.8 * t) * (std::sin(9.0 * t) + 0.4 * std::sin(23.0 * t))
             << "\n";
    }
    return text.str();
}

class Commands : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("vorsen-commands-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    QString Write(const std::string& name, const std::string& text) {
        const fs::path path = folder / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
        return QString::fromStdString(path.string());
    }
    void Import(const std::vector<std::string>& names, int samples = 200) {
        QStringList files;
        for (const std::string& name : names) {
            files << Write("in/" + name, Motion(samples));
        }
        window.ImportRecordFiles(ImportChoice{}, files);
    }
    template <typename T> T* Find(const char* name) {
        T* widget = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QListWidget* List(const char* name) { return Find<QListWidget>(name); }
    QString Text(const char* box) { return Find<QLineEdit>(box)->text(); }
    void SetDamping(const std::vector<QString>& percents) {
        Find<QComboBox>("cbb6")->setCurrentIndex(static_cast<int>(percents.size()) - 1);
        for (std::size_t i = 0; i < percents.size(); ++i) {
            Find<QLineEdit>(("edt" + std::to_string(16 + i)).c_str())->setText(percents[i]);
        }
    }
    void Check(const char* list, std::initializer_list<int> rows) {
        for (int row : rows) {
            List(list)->item(row)->setCheckState(Qt::Checked);
        }
    }
    QPushButton* Button(const char* name) { return Find<QPushButton>(name); }

    fs::path folder;
    FakePlatform platform;
    TForm1 window{platform};
    SpectraStore& store = window.workspace().SpectraStore;
};

// ---- record list commands ----

TEST_F(Commands, PopupCommandsActOnTheListOfThePageShown) {
    Import({"A.txt", "B.txt", "C.txt"});
    window.findChild<QTabWidget*>("pgc1")->setCurrentIndex(1);
    window.CheckAll();
    EXPECT_EQ(Text("edt15"), "3");
    EXPECT_EQ(Text("edt3"), "0");
    EXPECT_EQ(List("lst1")->item(0)->checkState(), Qt::Unchecked);

    window.findChild<QTabWidget*>("pgc1")->setCurrentIndex(0);
    Check("lst1", {0, 2});
    EXPECT_EQ(Text("edt3"), "2");
    window.InvertCheck();
    EXPECT_EQ(List("lst1")->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(List("lst1")->item(1)->checkState(), Qt::Checked);
    EXPECT_EQ(List("lst1")->item(2)->checkState(), Qt::Unchecked);
    EXPECT_EQ(Text("edt3"), "1");
    window.CheckNone();
    EXPECT_EQ(Text("edt3"), "0");
    EXPECT_EQ(Text("edt15"), "3");
}

TEST_F(Commands, PopupCommandsOnEmptyListsShowZero) {
    for (int page : {0, 1}) {
        window.findChild<QTabWidget*>("pgc1")->setCurrentIndex(page);
        window.CheckAll();
        window.InvertCheck();
    }
    EXPECT_EQ(Text("edt3"), "0");
    EXPECT_EQ(Text("edt15"), "0");
    // The one popup serves both lists.
    auto* menu = window.findChild<QMenu*>("RecordListMenu");
    ASSERT_NE(menu, nullptr);
    QStringList captions;
    for (QAction* action : menu->actions()) {
        captions << action->text();
    }
    EXPECT_EQ(captions, (QStringList{"Check All", "Check None", "Invert Check"}));
}

TEST_F(Commands, SelectingInTheSpectraListMovesTheRecordChooserWithoutAnalysing) {
    Import({"A.txt", "B.txt"});
    List("lst3")->setCurrentRow(1);
    EXPECT_EQ(Find<QComboBox>("cbb4")->currentText(), "B.txt");
    EXPECT_TRUE(store.DisplacementCurves.empty());
    EXPECT_TRUE(store.Periods.empty());
}

TEST_F(Commands, SelectingInTheTimeHistoryListPlotsThatRecord) {
    QStringList files = {Write("A.txt", "0\n0.3\n-0.2\n"), Write("B.txt", "0.5\n0.1\n")};
    window.ImportRecordFiles(ImportChoice{}, files);
    TimeHistoryPlots* plots = window.Plots();
    EXPECT_EQ(plots->Samples(TimeHistoryPlots::AccelerationChart, 0).size(), 3);
    List("lst1")->setCurrentRow(1);
    ASSERT_EQ(plots->Samples(TimeHistoryPlots::AccelerationChart, 0).size(), 2);
    EXPECT_EQ(plots->Samples(TimeHistoryPlots::AccelerationChart, 0)[0].y(), 0.5);
}

TEST_F(Commands, ClearDataEmptiesPlotsTablesChartAndAnOpenViewer) {
    Import({"A.txt"});
    window.btn11Click();
    window.ShowDetailedData();
    ASSERT_NE(window.Viewer(), nullptr);
    Button("btnClear")->click();
    EXPECT_TRUE(window.Plots()->Samples(TimeHistoryPlots::AccelerationChart, 0).isEmpty());
    for (int i = 0; i < SpectraChart::SeriesCount; ++i) {
        EXPECT_EQ(window.Chart()->Series(i)->count(), 0);
        EXPECT_FALSE(window.Chart()->Series(i)->isVisible());
    }
    const StringGrid& grid = *window.Grids()[0];
    EXPECT_EQ(grid.RowCount(), 302);
    EXPECT_EQ(grid.Cell(0, 0), "");
    EXPECT_EQ(grid.Cell(1, 1), "");
    ASSERT_NE(window.Viewer(), nullptr);
    EXPECT_EQ(window.Viewer()->RecordChooser()->count(), 0);
    // Analysis results of the store's lists stay; the curves are gone.
    EXPECT_EQ(store.DampingRatios.size(), 1u);
    EXPECT_EQ(store.Periods.size(), 301u);
    EXPECT_TRUE(store.AccelerationCurves.empty());
}

// ---- the spectra driver ----

TEST_F(Commands, AnalysisFillsTheStoreWithOneCurvePerRatioAndPeriod) {
    Import({"A.txt"});
    SetDamping({"20", "5", "20"});
    Button("btn11")->click();
    ASSERT_EQ(store.DampingRatios, (DOUBLEVECTOR{0.05, 0.2}));
    ASSERT_EQ(store.Periods.size(), 301u);
    const TimeHistory& record = *window.workspace().Records[0];
    for (const auto* table :
         {&store.DisplacementCurves, &store.VelocityCurves, &store.PseudoVelocityCurves,
          &store.AccelerationCurves, &store.PseudoAccelerationCurves}) {
        ASSERT_EQ(table->size(), 2u);
        for (const DOUBLEVECTOR& curve : *table) {
            EXPECT_EQ(curve.size(), 301u);
        }
    }
    for (std::size_t j = 0; j < 2; ++j) {
        EXPECT_EQ(store.DisplacementCurves[j][0], 0.0);
        EXPECT_EQ(store.VelocityCurves[j][0], 0.0);
        EXPECT_EQ(store.PseudoVelocityCurves[j][0], 0.0);
        EXPECT_EQ(store.AccelerationCurves[j][0], record.PeakAcceleration());
        EXPECT_EQ(store.PseudoAccelerationCurves[j][0], record.PeakAcceleration());
        for (std::size_t i = 1; i < store.Periods.size(); ++i) {
            const double omega = CircularFrequencyConstant / store.Periods[i];
            const double sd = store.DisplacementCurves[j][i];
            EXPECT_EQ(store.PseudoVelocityCurves[j][i], omega * sd);
            EXPECT_EQ(store.PseudoAccelerationCurves[j][i], omega * omega * sd / 980.0);
        }
    }
    EXPECT_TRUE(platform.Boxes().empty());
    // The chart and the tables show the result.
    EXPECT_EQ(window.Chart()->Series(0)->count(), 301);
    EXPECT_EQ(window.Chart()->Series(1)->count(), 301);
    EXPECT_FALSE(window.Chart()->Series(2)->isVisible());
    EXPECT_EQ(window.Grids()[0]->ColCount(), 3);
    EXPECT_EQ(window.Grids()[0]->Cell(2, 0), "Damp.=20%");
}

TEST_F(Commands, ACorrectedRecordIsAnalysedFromItsCorrectedSeries) {
    Import({"A.txt"});
    Button("btn11")->click();
    const DOUBLEVECTOR uncorrected = store.DisplacementCurves[0];
    Find<QRadioButton>("rbParabolic")->setChecked(true);
    Button("btnApplyCorrection")->click();
    ASSERT_TRUE(window.workspace().Records[0]->IsCorrected());
    Button("btn11")->click();
    EXPECT_NE(store.DisplacementCurves[0], uncorrected);
    EXPECT_EQ(store.AccelerationCurves[0][0], window.workspace().Records[0]->PeakAcceleration());
}

TEST_F(Commands, RefusedDampingKeepsTheOldCurvesAndFocusesTheField) {
    Import({"A.txt"});
    Button("btn11")->click();
    window.show();
    SetDamping({"5", "100"});
    Button("btn11")->click();
    ASSERT_EQ(platform.Texts("Warning"),
              (std::vector<QString>{"Damping Ratio must be less than 1!"}));
    EXPECT_TRUE(store.DampingRatios.empty());
    EXPECT_EQ(store.DisplacementCurves.size(), 1u);
    EXPECT_EQ(store.Periods.size(), 301u);
    EXPECT_EQ(window.Chart()->Series(0)->count(), 301);
    EXPECT_EQ(window.Grids()[0]->RowCount(), 302);
    EXPECT_EQ(window.focusWidget(), Find<QLineEdit>("edt17"));

    // The chart redrawn from this inconsistent store reads past nothing.
    window.Chart()->XAxisList()->setCurrentIndex(1);
    window.Chart()->YAxisList()->setCurrentIndex(4);
}

TEST_F(Commands, NotANumberDampingShowsTheTextInQuotes) {
    Import({"A.txt"});
    SetDamping({"5%"});
    Button("btn11")->click();
    EXPECT_EQ(platform.Texts("Warning"),
              (std::vector<QString>{"\"5%\" is not a valid floating number!"}));
}

TEST_F(Commands, AnalysisThatRunsOutOfMemoryKeepsTheLastSpectraAndSaysSo) {
    Import({"A.txt"});
    Button("btn11")->click();
    const std::vector<DOUBLEVECTOR> before = store.DisplacementCurves;
    const int rows = window.Grids()[0]->RowCount();
    ASSERT_EQ(before.size(), 1u);
    window.SetSpectraAnalysis([](SpectraEngine&, const TimeHistory&, const AnalysisSettings&,
                                 SpectraStore&,
                                 char) -> SpectraOutcome { throw std::bad_alloc(); });
    SetDamping({"2", "5"});
    Button("btn11")->click();
    EXPECT_EQ(platform.Texts("Warning"),
              (std::vector<QString>{"Not enough memory to analyse A.txt"}));
    EXPECT_TRUE(platform.Texts("ErrorReport").empty());
    EXPECT_EQ(store.DisplacementCurves, before);
    EXPECT_EQ(window.Grids()[0]->RowCount(), rows);
}

TEST_F(Commands, AnalysisWithNothingChosenDoesNothing) {
    Button("btn11")->click();
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_TRUE(store.Periods.empty());
}

TEST_F(Commands, DegenerateNewmarkBetaIsRefusedBeforeComputing) {
    Import({"A.txt"});
    Button("btn11")->click();
    window.workspace().AnalysisSettings.Method = 1;
    window.workspace().AnalysisSettings.NewmarkBeta = 0;
    Button("btn11")->click();
    ASSERT_EQ(platform.Texts("Warning").size(), 1u);
    EXPECT_EQ(platform.Texts("Warning")[0], "Newmark's Beta must not be zero!");
    EXPECT_EQ(store.DisplacementCurves.size(), 1u);
    for (double value : store.DisplacementCurves[0]) {
        EXPECT_TRUE(std::isfinite(value));
    }
}

// ---- baseline correction ----

TEST_F(Commands, BaselineCommandFollowsTheRadioChoice) {
    Import({"A.txt"});
    TimeHistory& record = *window.workspace().Records[0];
    Button("btnApplyCorrection")->click();
    EXPECT_TRUE(record.IsCorrected());
    EXPECT_EQ(record.GetCorrectionType(), 0);
    EXPECT_EQ(record.GetCorrectedVelocity().size(), record.GetVelocity().size());
    EXPECT_EQ(window.Plots()->Samples(TimeHistoryPlots::VelocityChart, 1).size(), record.Count());

    Find<QRadioButton>("rbNone")->setChecked(true);
    Button("btnApplyCorrection")->click();
    EXPECT_FALSE(record.IsCorrected());
    EXPECT_TRUE(window.Plots()->Samples(TimeHistoryPlots::VelocityChart, 1).isEmpty());
    EXPECT_TRUE(platform.Boxes().empty());
}

TEST_F(Commands, BaselineCommandWithoutSelectionDoesNothing) {
    Import({"A.txt"});
    List("lst1")->clearSelection();
    Button("btnApplyCorrection")->click();
    EXPECT_FALSE(window.workspace().Records[0]->IsCorrected());
    // The plots were not redrawn away either.
    EXPECT_EQ(window.Plots()->Samples(TimeHistoryPlots::AccelerationChart, 0).size(), 200);
}

TEST_F(Commands, AOneSampleRecordCannotBeCorrected) {
    window.ImportRecordFiles(ImportChoice{}, {Write("One.txt", "0.4\n")});
    Button("btnApplyCorrection")->click();
    EXPECT_EQ(platform.Texts("Warning"), (std::vector<QString>{"Base Line Correction Failed!"}));
    EXPECT_FALSE(window.workspace().Records[0]->IsCorrected());
    EXPECT_TRUE(window.workspace().Records[0]->GetCorrectedAcceleration().empty());
}

// ---- exports ----

std::vector<std::string> Lines(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

TEST_F(Commands, ExportRefusesNothingCheckedAndTooManyChecked) {
    std::vector<std::string> names;
    for (int i = 0; i < 9; ++i) {
        names.push_back("R" + std::to_string(i) + ".txt");
    }
    Import(names, 20);
    Button("btnExportData")->click();
    Button("btnExportSpectra")->click();
    window.findChild<QTabWidget*>("pgc1")->setCurrentIndex(0);
    window.CheckAll();
    window.findChild<QTabWidget*>("pgc1")->setCurrentIndex(1);
    window.CheckAll();
    Button("btnExportData")->click();
    Button("btnExportSpectra")->click();
    EXPECT_EQ(platform.Texts("Information"),
              (std::vector<QString>{"Check the Time History Record first!",
                                    "Check the Time History Record first!",
                                    "INFORMATION: Maximum Export Number ( 8 ) was exceeded !",
                                    "INFORMATION: Maximum Export Number ( 8 ) was exceeded!"}));
    EXPECT_TRUE(platform.Texts("ChooseFolder").empty());
}

TEST_F(Commands, TimeHistoryExportWritesOneFilePerCheckedRecord) {
    Import({"A.txt", "B.dat", "C.txt"}, 30);
    Check("lst1", {0, 2});
    const fs::path out = folder / "out";
    fs::create_directories(out);
    platform.folderAnswers.push_back(QString::fromStdString(out.string()));
    Button("btnExportData")->click();
    EXPECT_EQ(platform.Texts("Information"), (std::vector<QString>{"Done!"}));
    EXPECT_TRUE(fs::exists(out / "A_TH.csv"));
    EXPECT_FALSE(fs::exists(out / "B_TH.csv"));
    const std::vector<std::string> lines = Lines(out / "C_TH.csv");
    ASSERT_EQ(lines.size(), 38u);
    EXPECT_EQ(lines[4], "Report Time: 20261210");
    EXPECT_EQ(lines[5], "Acceleration TimeHistory SourceFile: C.txt");
    EXPECT_EQ(lines[6], "Baseline Correction Type: No Baseline Correction");
    EXPECT_EQ(lines[9].substr(0, 10), "2,0.01000,");

    // The next export's folder dialog opens on the folder chosen last.
    platform.folderAnswers.push_back(std::nullopt);
    Button("btnExportData")->click();
    EXPECT_EQ(platform.Texts("ChooseFolder").back(), QString::fromStdString(out.string()));
    EXPECT_EQ(platform.Texts("Information").size(), 1u);
}

TEST_F(Commands, AFailedWriteStopsTheExportWithoutDone) {
    Import({"A.txt"}, 10);
    Check("lst1", {0});
    platform.folderAnswers.push_back(QString::fromStdString((folder / "missing").string()));
    Button("btnExportData")->click();
    ASSERT_EQ(platform.Texts("Warning").size(), 1u);
    EXPECT_NE(platform.Texts("Warning")[0].indexOf("A_TH.csv"), -1);
    EXPECT_TRUE(platform.Texts("Information").empty());
}

TEST_F(Commands, SpectraExportRebuildsTheListsButLeavesCurvesChartAndTables) {
    Import({"A.txt", "B.txt"}, 100);
    Button("btn11")->click();
    const DOUBLEVECTOR oldCurve = store.DisplacementCurves[0];
    window.workspace().AnalysisSettings.MaxPeriod = 3;
    SetDamping({"10", "5", "10"});
    Check("lst3", {1});

    // Cancelling the folder dialog writes nothing, but the lists were rebuilt.
    Button("btnExportSpectra")->click();
    EXPECT_EQ(store.DampingRatios, (DOUBLEVECTOR{0.05, 0.1}));
    EXPECT_EQ(store.Periods.size(), 150u);

    const fs::path out = folder / "rs";
    fs::create_directories(out);
    platform.folderAnswers.push_back(QString::fromStdString(out.string()));
    Button("btnExportSpectra")->click();
    EXPECT_EQ(platform.Texts("Information"), (std::vector<QString>{"Done!"}));
    const std::vector<std::string> lines = Lines(out / "B_RS.csv");
    ASSERT_EQ(lines.size(), 7u + 1 + 150);
    EXPECT_EQ(lines[7], "Period[sec],Disp.Damp.=5%,Disp.Damp.=10%,Vel.Damp.=5%,Vel.Damp.=10%,"
                        "Acc.Damp.=5%,Acc.Damp.=10%,Pseudo-Vel.Damp.=5%,Pseudo-Vel.Damp.=10%,"
                        "Pseudo-Acc.Damp.=5%,Pseudo-Acc.Damp.=10%,");
    EXPECT_FALSE(fs::exists(out / "A_RS.csv"));
    // The analysis results on show are untouched.
    EXPECT_EQ(store.DisplacementCurves.size(), 1u);
    EXPECT_EQ(store.DisplacementCurves[0], oldCurve);
    EXPECT_EQ(window.Chart()->Series(0)->count(), 301);
    EXPECT_EQ(window.Grids()[0]->RowCount(), 302);
    // A redraw from the inconsistent store stays inside every list.
    window.Chart()->XAxisList()->setCurrentIndex(2);
}

// ---- viewer, menus, dialogs and links ----

TEST_F(Commands, DetailedDataOpensOneViewerAndBringsItForward) {
    Import({"A.txt"}, 3);
    window.ShowDetailedData();
    TForm4* viewer = window.Viewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->DataGrid()->RowCount(), 5);
    window.ShowDetailedData();
    EXPECT_EQ(window.Viewer(), viewer);
    EXPECT_EQ(window.findChildren<TForm4*>().size(), 1);
    viewer->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window.Viewer(), nullptr);
}

TEST_F(Commands, CorrectingTheRecordOnShowRefreshesTheViewer) {
    Import({"A.txt", "B.txt"}, 4);
    window.ShowDetailedData();
    TForm4* viewer = window.Viewer();
    ASSERT_NE(viewer, nullptr);
    StringGrid& grid = *viewer->DataGrid();
    grid.SetSelection({2, 2, 3, 3});
    EXPECT_EQ(grid.Cell(3, 2), "--");

    Button("btnApplyCorrection")->click();
    const TimeHistory& record = *window.workspace().Records[0];
    ASSERT_TRUE(record.IsCorrected());
    for (int col : {3, 5, 7}) {
        EXPECT_NE(grid.Cell(col, 2), "--") << col;
    }
    EXPECT_EQ(grid.Cell(3, 4),
              QString::fromStdString(FormatFixed(record.GetCorrectedAcceleration()[3], 8)));
    EXPECT_EQ(grid.Selection(), (GridRect{2, 2, 3, 3})); // the user's selection stays

    Find<QRadioButton>("rbNone")->setChecked(true);
    Button("btnApplyCorrection")->click();
    EXPECT_EQ(grid.Cell(3, 2), "--");

    // Correcting another record leaves the one on show as it is.
    viewer->RecordChooser()->setCurrentIndex(1);
    List("lst1")->setCurrentRow(0);
    Find<QRadioButton>("rbLinear")->setChecked(true);
    Button("btnApplyCorrection")->click();
    EXPECT_EQ(grid.Cell(3, 1), "--");
}

TEST_F(Commands, HelpMenuOrderAndLinks) {
    QMenu* help = nullptr;
    for (QAction* action : window.menuBar()->actions()) {
        if (action->text() == "Help") {
            help = action->menu();
        }
    }
    ASSERT_NE(help, nullptr);
    const QList<QAction*> items = help->actions();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0]->text(), "About VORSEN");
    EXPECT_EQ(items[1]->text(), QString::fromUtf8("Donation (捐助)"));
    EXPECT_EQ(items[3]->text(), "How to use?");
    items[2]->trigger();
    items[3]->trigger();
    items[0]->trigger();
    items[1]->trigger();
    const std::vector<QString> urls = platform.Texts("OpenUrl");
    ASSERT_EQ(urls.size(), 2u);
    EXPECT_EQ(urls[0], items[2]->text());
    EXPECT_TRUE(urls[1].endsWith("how-to-use"));
    EXPECT_EQ(platform.modalTitles,
              (std::vector<QString>{"About VORSEN", QString::fromUtf8("Donation (捐助)")}));
}

TEST_F(Commands, WithoutABrowserEveryLinkWarnsWithItsAddress) {
    platform.browserStarts = false;
    QMenu* help = window.findChild<QMenu*>("Help1");
    ASSERT_NE(help, nullptr);
    help->actions()[2]->trigger();
    help->actions()[3]->trigger();
    auto* site = window.findChild<HoverLabel*>("SiteLabel");
    ASSERT_NE(site, nullptr);
    window.show();
    QTest::mouseClick(site, Qt::LeftButton);
    const std::vector<QString> pages = {Links::HomePage, Links::HowToUsePage, Links::HomePage};
    EXPECT_EQ(platform.Texts("OpenUrl"), pages);
    ASSERT_EQ(platform.Texts("Warning").size(), 3u);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        EXPECT_EQ(platform.Texts("Warning")[i], NoBrowserText(pages[i]));
        EXPECT_TRUE(platform.Texts("Warning")[i].endsWith(pages[i]));
    }
}

TEST_F(Commands, ImportDialogImportsTheChosenFilesWithTheTypedParameters) {
    const QString file = Write("two.csv", "0.0,0.1\n0.01,0.2\n");
    platform.fileAnswers.push_back({file});
    platform.modalScript = [](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("edt1")->setText("0.02");
        dialog.findChild<QSpinBox*>("edt4")->setValue(2);
        dialog.findChild<QPushButton*>("btn1")->click();
        return dialog.result();
    };
    Button("btnImport")->click();
    ASSERT_EQ(window.workspace().Records.size(), 1u);
    EXPECT_EQ(window.workspace().Records[0]->GetDt(), 0.02);
    EXPECT_EQ(window.workspace().Records[0]->GetAcceleration(), (DOUBLEVECTOR{0.1, 0.2}));
}

TEST_F(Commands, CancellingTheFileChooserLeavesTheWorkspaceAlone) {
    Import({"A.txt"});
    Button("btn11")->click();
    platform.modalScript = [](QDialog& dialog) {
        dialog.findChild<QPushButton*>("btn1")->click(); // no file answer: cancelled
        return dialog.result();
    };
    Button("btnImport")->click();
    EXPECT_EQ(window.workspace().Records.size(), 1u);
    EXPECT_EQ(store.DisplacementCurves.size(), 1u);
    EXPECT_EQ(platform.Texts("ChooseFiles").size(), 1u);
}

TEST_F(Commands, SettingsDialogUpdatesTheWorkspaceSettings) {
    platform.modalScript = [](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("edt2")->setText("3");
        dialog.findChild<QPushButton*>("btn2")->click();
        return QDialog::Rejected;
    };
    window.Setting1Click();
    EXPECT_EQ(window.workspace().AnalysisSettings.MaxPeriod, 3);
    EXPECT_EQ(platform.modalTitles, (std::vector<QString>{"Analysis Settings"}));
}

TEST_F(Commands, AnUnhandledErrorInACommandIsReportedAndTheProgramGoesOn) {
    window.RunCommand([] { throw std::runtime_error("disk on fire"); });
    EXPECT_EQ(platform.Texts("ErrorReport"), (std::vector<QString>{"disk on fire"}));
}

// A file system that throws where the operating system's would answer.
class ThrowingFileSystem : public PosixReportFileSystem {
public:
    std::optional<std::string> CreateTemporary(const std::string&, const std::string&, int&,
                                               std::string&) override {
        throw std::runtime_error("file system gone");
    }
};

TEST_F(Commands, TheBusyCursorIsGoneAfterEveryCommandThatThrows) {
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    window.RunCommand([] {
        const BusyCursor busy;
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        throw std::runtime_error("midway");
    });
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // "Export Checked" with a writer that throws while the cursor is busy.
    Import({"A.txt"}, 50);
    Check("lst3", {0});
    ThrowingFileSystem files;
    window.SetReportFileSystem(files);
    platform.folderAnswers.push_back(QString::fromStdString(folder.string()));
    Button("btnExportSpectra")->click();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(platform.Texts("ErrorReport"), (std::vector<QString>{"midway", "file system gone"}));
    EXPECT_TRUE(platform.Texts("Information").empty());

    // The analysis and an export that fails with a warning give it back too.
    Button("btn11")->click();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    window.SetReportFileSystem(DefaultReportFileSystem());
    platform.folderAnswers.push_back(QString::fromStdString((folder / "missing").string()));
    Button("btnExportSpectra")->click();
    EXPECT_EQ(platform.Texts("Warning").size(), 1u);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
