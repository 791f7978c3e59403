#include "app/Unit1.h"
#include "support/FakePlatform.h"

#include "ui/TimeHistoryPlots.h"
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTabWidget>
#include <QWindow>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <new>
#include <stdexcept>

namespace {

namespace fs = std::filesystem;

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("vorsen-main-" + std::to_string(::getpid()));
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    QString Write(const std::string& name, const std::string& text) {
        const fs::path path = folder / name;
        std::ofstream(path, std::ios::binary) << text;
        return QString::fromStdString(path.string());
    }
    template <typename T> T* Find(const char* name) {
        T* widget = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString Text(const char* box) { return Find<QLineEdit>(box)->text(); }

    fs::path folder;
    FakePlatform platform;
    TForm1 window{platform};
};

TEST_F(MainWindow, StartsEmptyWithCaptionFirstPageAndZeroCounts) {
    EXPECT_EQ(window.windowTitle(), "VORSEN v1.0 (by Halvik)(20180304)");
    EXPECT_EQ(Find<QTabWidget>("pgc1")->currentIndex(), 0);
    EXPECT_EQ(Find<QTabWidget>("pgc1")->tabText(0), "Time History Records");
    EXPECT_EQ(Find<QTabWidget>("pgc1")->tabText(1), "Elastic Response Spectra");
    for (const char* box : {"edt1", "edt3", "edt14", "edt15"}) {
        EXPECT_EQ(Text(box), "0") << box;
        EXPECT_TRUE(Find<QLineEdit>(box)->isReadOnly());
    }
    EXPECT_EQ(window.workspace().SoftwareEdition, "20180304");
    EXPECT_EQ(window.workspace().MaxExportNumber, 8);
    EXPECT_EQ(window.workspace().AnalysisSettings.Gravity, 980);
    EXPECT_EQ(Find<QLabel>("TipLabel")->text(), "Tips: grey line is corrected results!");
}

// The window manager shows a window's title as Qt hands it over: with an
// application display name set, Qt appends it ("... — VORSEN"). So the titles
// are the captions alone only while no display name is set.
TEST_F(MainWindow, WindowTitlesAreTheCaptionsAlone) {
    platform.modalScript = [](QDialog& dialog) {
        dialog.show();
        return QDialog::Rejected;
    };
    window.Setting1Click();
    window.OpenImportDialog();
    window.ShowDetailedData();
    window.show();
    EXPECT_EQ(window.windowHandle()->title(), "VORSEN v1.0 (by Halvik)(20180304)");
    EXPECT_EQ(platform.modalTitles,
              (std::vector<QString>{"Analysis Settings", "Input File Parameters"}));
    ASSERT_NE(window.Viewer(), nullptr);
    EXPECT_EQ(window.Viewer()->windowTitle(), "Detailed Data of Time History Records");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
}

TEST_F(MainWindow, PageSwitchChangesTheTip) {
    auto* pages = Find<QTabWidget>("pgc1");
    pages->setCurrentIndex(1);
    EXPECT_EQ(Find<QLabel>("TipLabel")->text(),
              "Tips: Response spectra analysis is based on corrected results.");
    pages->setCurrentIndex(0);
    EXPECT_EQ(Find<QLabel>("TipLabel")->text(), "Tips: Grey line is corrected results!");
}

TEST_F(MainWindow, ImportStopsAtTheFirstFailingFileAndKeepsEarlierRecords) {
    const QStringList files = {Write("A.txt", "0.1\n-0.3\n0.2\n"), Write("B.txt", "0.1\nx\n"),
                               Write("C.txt", "0.5\n")};
    window.ImportRecordFiles(ImportChoice{}, files);

    ASSERT_EQ(platform.Boxes().size(), 1u);
    EXPECT_EQ(platform.Boxes()[0].kind, "Warning");
    EXPECT_EQ(platform.Boxes()[0].text,
              "FILE: B.txt. ERROR Line: 2. ERROR: 'x' is not a valid floating point value");
    ASSERT_EQ(window.workspace().Records.size(), 1u);
    const TimeHistory& record = *window.workspace().Records[0];
    EXPECT_EQ(record.GetName(), "A.txt");
    EXPECT_TRUE(record.IsIntegrated());
    EXPECT_EQ(record.GetVelocity().size(), 3u);
    for (const char* list : {"lst1", "lst3"}) {
        auto* rows = Find<QListWidget>(list);
        ASSERT_EQ(rows->count(), 1);
        EXPECT_EQ(rows->item(0)->text(), "A.txt");
        EXPECT_EQ(rows->item(0)->checkState(), Qt::Unchecked);
    }
    EXPECT_EQ(Find<QComboBox>("cbb4")->currentText(), "A.txt");
    EXPECT_EQ(Find<QListWidget>("lst1")->currentRow(), 0);
    EXPECT_EQ(Text("edt1"), "1");
    EXPECT_EQ(Text("edt14"), "1");
}

TEST_F(MainWindow, ImportReplacesRecordsEvenWhenEveryFileFails) {
    window.ImportRecordFiles(ImportChoice{}, {Write("A.txt", "1\n2\n")});
    ASSERT_EQ(window.workspace().Records.size(), 1u);
    window.ImportRecordFiles(ImportChoice{}, {Write("Empty.txt", "")});
    EXPECT_TRUE(window.workspace().Records.empty());
    EXPECT_EQ(Find<QListWidget>("lst1")->count(), 0);
    EXPECT_EQ(Find<QComboBox>("cbb4")->count(), 0);
    EXPECT_EQ(Text("edt1"), "0");
    EXPECT_EQ(platform.Texts("Warning").back(),
              "FILE: Empty.txt, WARNING: Skipline is too large, there is no data to read!");
}

// A failure part-way through an import: the records, the lists and the counts
// agree afterwards, and the user is told.
TEST_F(MainWindow, ImportThatRunsOutOfMemoryKeepsEarlierRecordsAndSaysSo) {
    window.SetRecordFileImport([](const std::string& path, const ImportRequest& request) {
        if (fs::path(path).filename() == "B.txt") {
            throw std::bad_alloc();
        }
        return ImportRecordFile(path, request);
    });
    window.ImportRecordFiles(ImportChoice{}, {Write("A.txt", "0.1\n0.2\n"), Write("B.txt", "1\n"),
                                              Write("C.txt", "0.5\n")});
    EXPECT_EQ(platform.Texts("Warning"), (std::vector<QString>{"Not enough memory to read B.txt"}));
    ASSERT_EQ(window.workspace().Records.size(), 1u);
    EXPECT_EQ(window.workspace().Records[0]->GetName(), "A.txt");
    EXPECT_EQ(Find<QListWidget>("lst1")->count(), 1);
    EXPECT_EQ(Find<QListWidget>("lst3")->count(), 1);
    EXPECT_EQ(Find<QComboBox>("cbb4")->count(), 1);
    EXPECT_EQ(Text("edt1"), "1");
}

TEST_F(MainWindow, ImportStoppedByAnyOtherErrorLeavesNoRecordTheListsDoNotShow) {
    window.ImportRecordFiles(ImportChoice{}, {Write("Old.txt", "1\n2\n")});
    window.SetRecordFileImport([](const std::string& path, const ImportRequest& request) {
        if (fs::path(path).filename() == "B.txt") {
            throw std::runtime_error("disk gone");
        }
        return ImportRecordFile(path, request);
    });
    window.RunCommand([&] {
        window.ImportRecordFiles(ImportChoice{}, {Write("A.txt", "0.1\n"), Write("B.txt", "1\n")});
    });
    EXPECT_EQ(platform.Texts("ErrorReport"), (std::vector<QString>{"disk gone"}));
    EXPECT_TRUE(window.workspace().Records.empty());
    EXPECT_EQ(Find<QListWidget>("lst1")->count(), 0);
    EXPECT_EQ(Find<QListWidget>("lst3")->count(), 0);
    EXPECT_EQ(Find<QComboBox>("cbb4")->count(), 0);
    EXPECT_EQ(Text("edt1"), "0");
}

TEST_F(MainWindow, ImportReadsAtMostTenFilesAndUsesTheCurrentGravity) {
    QStringList files;
    for (int i = 0; i < 11; ++i) {
        files << Write("R" + std::to_string(i) + ".txt", "0\n1\n");
    }
    window.workspace().AnalysisSettings.Gravity = 1000;
    FreeTypeParameters parameters;
    parameters.TimeStep = 0.02;
    window.ImportRecordFiles(ImportChoice{RecordFormatId::FreeType, parameters}, files);
    ASSERT_EQ(window.workspace().Records.size(), 10u);
    EXPECT_EQ(window.workspace().Records[9]->GetName(), "R9.txt");
    EXPECT_EQ(window.workspace().Records[0]->GetDt(), 0.02);
    // v[1] = (0.5 dt g)(s1 + s0) with g = 1000
    EXPECT_DOUBLE_EQ(window.workspace().Records[0]->GetVelocity()[1], 10.0);
    // The eleventh file is not dropped without a word.
    ASSERT_EQ(platform.Boxes().size(), 1u);
    EXPECT_EQ(platform.Texts("Information").at(0),
              "11 files were chosen: the first 10 were imported, 1 was left out (one import "
              "reads at most 10 files).");
}

TEST_F(MainWindow, TheRecordsDescriptionIsItsTooltipAndTheLineAboveThePlots) {
    FreeTypeParameters parameters;
    parameters.TimeStep = 0.02;
    window.ImportRecordFiles(ImportChoice{RecordFormatId::FreeType, parameters},
                             {Write("A.txt", "0\n1\n0.5\n")});
    const QString description = QString::fromUtf8("Free Type · 0.02 s · 3 samples · g");
    EXPECT_EQ(window.findChild<QListWidget*>("lst1")->item(0)->toolTip(), description);
    EXPECT_EQ(window.findChild<QListWidget*>("lst3")->item(0)->toolTip(), description);
    EXPECT_EQ(window.findChild<QLabel*>("lblRecordInfo")->text(), description);
    window.ClearData();
    EXPECT_TRUE(window.findChild<QLabel*>("lblRecordInfo")->text().isEmpty());
}

TEST_F(MainWindow, SameFileNameFromTwoFoldersGivesTwoRows) {
    fs::create_directories(folder / "x");
    fs::create_directories(folder / "y");
    window.ImportRecordFiles(ImportChoice{}, {Write("x/EQ.txt", "1\n"), Write("y/EQ.txt", "2\n")});
    auto* rows = Find<QListWidget>("lst1");
    ASSERT_EQ(rows->count(), 2);
    EXPECT_EQ(rows->item(0)->text(), "EQ.txt");
    EXPECT_EQ(rows->item(1)->text(), "EQ.txt");
}

TEST_F(MainWindow, ClearDataEmptiesListsAndCountsButKeepsSettings) {
    window.ImportRecordFiles(ImportChoice{}, {Write("A.txt", "1\n2\n"), Write("B.txt", "3\n")});
    Find<QListWidget>("lst1")->item(0)->setCheckState(Qt::Checked);
    EXPECT_EQ(Text("edt3"), "1");
    window.workspace().AnalysisSettings.MaxPeriod = 3;
    window.workspace().SpectraStore.DisplacementCurves.push_back({0, 1});
    window.workspace().SpectraStore.DampingRatios = {0.05};
    window.ClearData();
    EXPECT_TRUE(window.workspace().Records.empty());
    for (const char* box : {"edt1", "edt3", "edt14", "edt15"}) {
        EXPECT_EQ(Text(box), "0") << box;
    }
    EXPECT_EQ(Find<QListWidget>("lst3")->count(), 0);
    EXPECT_TRUE(window.workspace().SpectraStore.DisplacementCurves.empty());
    EXPECT_EQ(window.workspace().SpectraStore.DampingRatios.size(), 1u);
    EXPECT_EQ(window.workspace().AnalysisSettings.MaxPeriod, 3);
}

// A record that counts its destructions.
struct CountedRecord : TimeHistory {
    explicit CountedRecord(int& destroyed) : TimeHistory("c.txt", 0.01), destroyed(destroyed) {}
    ~CountedRecord() override { ++destroyed; }
    int& destroyed;
};

TEST(MainWindowLifetime, ClosingDestroysEveryRecordExactlyOnce) {
    FakePlatform platform;
    int destroyed = 0;
    {
        TForm1 window(platform);
        for (int i = 0; i < 3; ++i) {
            window.workspace().Records.push_back(std::make_unique<CountedRecord>(destroyed));
        }
        window.RefreshRecordLists();
        window.show();
    }
    EXPECT_EQ(destroyed, 3);
}

TEST(MainWindowLifetime, ResizingPutsMovedBarsBackAt34And50Percent) {
    FakePlatform platform;
    TForm1 window(platform);
    window.show();
    QSplitter* outer = window.Plots()->OuterSplitter();
    QSplitter* inner = window.Plots()->InnerSplitter();
    outer->setSizes({10, outer->height() - 10});
    window.resize(1200, 700);
    QApplication::processEvents();
    const int total = outer->sizes()[0] + outer->sizes()[1];
    EXPECT_NEAR(outer->sizes()[0], 0.34 * total, 2.0);
    EXPECT_NEAR(inner->sizes()[0], 0.5 * inner->height(), 2.0);
}

} // namespace

namespace {

QString Fixture(const char* name) {
    return QStringLiteral(VORSEN_SOURCE_DIR "/tests/import/fixtures/") + QString::fromLatin1(name);
}

} // namespace

TEST_F(MainWindow, ImportReadsEachFileInItsFormatAndOneRecordPerComponent) {
    ImportChoice detect;
    detect.Format.reset();
    window.ImportRecordFiles(detect,
                             {Fixture("peer-west2.AT2"), Fixture("20200102_030405_TST1_20.V2A")});
    EXPECT_TRUE(platform.Boxes().empty());
    ASSERT_EQ(window.workspace().Records.size(), 4u);
    const char* names[] = {"peer-west2.AT2", "20200102_030405_TST1_20-S16W.V2A",
                           "20200102_030405_TST1_20-S74E.V2A", "20200102_030405_TST1_20-Up.V2A"};
    auto* lst1 = window.findChild<QListWidget*>("lst1");
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(window.workspace().Records[i]->GetName(), names[i]);
        EXPECT_EQ(lst1->item(i)->text(), names[i]);
        EXPECT_TRUE(window.workspace().Records[i]->IsIntegrated());
    }
    EXPECT_EQ(window.workspace().Records[0]->GetDt(), 0.005);
    EXPECT_EQ(window.workspace().Records[1]->GetDt(), 0.02);
    EXPECT_EQ(window.findChild<QComboBox*>("cbb4")->count(), 4);
    EXPECT_TRUE(
        window.findChild<QLabel*>("lblRecordInfo")->text().startsWith("PEER NGA · 0.005 s"));
}

TEST_F(MainWindow, AStandardFileChosenAsFreeTypeIsRefusedWithoutARecord) {
    window.ImportRecordFiles(ImportChoice{}, {Write("A.txt", "0.1\n"), Fixture("peer-west2.AT2"),
                                              Write("B.txt", "0.2\n")});
    ASSERT_EQ(platform.Texts("Warning").size(), 1u);
    EXPECT_EQ(platform.Texts("Warning")[0],
              "peer-west2.AT2 is a PEER NGA record: choose \"PEER NGA\" under \"File Format\".");
    ASSERT_EQ(window.workspace().Records.size(), 1u); // the record before it stays
    EXPECT_EQ(window.workspace().Records[0]->GetName(), "A.txt");
}
