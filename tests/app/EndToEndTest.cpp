// A first analysis as a user runs it, through the main window and the fake
// desktop; then the same reports from vorsen-cli, which must match byte for
// byte but for the report date.
#include "app/Unit1.h"
#include "support/FakePlatform.h"
#include "ui/GridCopy.h"
#include "ui/SpectraChart.h"
#include "ui/StringGrid.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QValueAxis>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The report without its date line (line 5).
std::string WithoutDate(const std::string& text) {
    const std::size_t start = text.find("Report Time: ");
    const std::size_t end = text.find("\r\n", start);
    return text.substr(0, start) + text.substr(end);
}

int RunCli(const std::string& arguments) {
    const char* cli = std::getenv("VORSEN_CLI");
    if (cli == nullptr) {
        cli = VORSEN_CLI_PATH; // run outside CTest
    }
    return std::system((std::string(cli) + " " + arguments + " > /dev/null 2>&1").c_str());
}

TEST(EndToEnd, ImportCorrectExportAnalyseCopyAndMatchTheCli) {
    const fs::path examples = fs::path(VORSEN_SOURCE_DIR) / "examples";
    const fs::path work = fs::temp_directory_path() / ("vorsen-e2e-" + std::to_string(::getpid()));
    fs::remove_all(work);
    const fs::path gui = work / "gui";
    const fs::path cli = work / "cli";
    fs::create_directories(gui);
    fs::create_directories(cli);
    const std::string quake = (examples / "synthetic-quake.txt").string();
    const std::string pulse = (examples / "short-pulse.txt").string();

    FakePlatform platform;
    TForm1 window(platform);
    window.show();
    auto find = [&](const char* name) {
        QWidget* widget = window.findChild<QWidget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    };
    auto button = [&](const char* name) { return static_cast<QPushButton*>(find(name)); };
    auto list = [&](const char* name) { return static_cast<QListWidget*>(find(name)); };

    // Import two records with a time step of 0.02 s and a scaling factor of 1.5.
    platform.fileAnswers.push_back({QString::fromStdString(quake), QString::fromStdString(pulse)});
    platform.modalScript = [](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("edt1")->setText("0.02");
        dialog.findChild<QLineEdit*>("edt2")->setText("1.5");
        dialog.findChild<QPushButton*>("btn1")->click();
        return dialog.result();
    };
    button("btnImport")->click();
    ASSERT_EQ(window.workspace().Records.size(), 2u);
    EXPECT_EQ(list("lst1")->item(1)->text(), "short-pulse.txt");

    // Select the second record and correct it with the parabolic fit.
    list("lst1")->setCurrentRow(1);
    static_cast<QRadioButton*>(find("rbParabolic"))->setChecked(true);
    button("btnApplyCorrection")->click();
    EXPECT_TRUE(window.workspace().Records[1]->IsCorrected());
    EXPECT_FALSE(window.workspace().Records[0]->IsCorrected());

    // Check both and export their time histories.
    list("lst1")->item(0)->setCheckState(Qt::Checked);
    list("lst1")->item(1)->setCheckState(Qt::Checked);
    EXPECT_EQ(static_cast<QLineEdit*>(find("edt3"))->text(), "2");
    platform.folderAnswers.push_back(QString::fromStdString(gui.string()));
    button("btnExportData")->click();
    ASSERT_EQ(platform.Texts("Information"), (std::vector<QString>{"Done!"}));

    // Analyse the second record with three damping values.
    static_cast<QTabWidget*>(find("pgc1"))->setCurrentIndex(1);
    list("lst3")->setCurrentRow(1);
    static_cast<QComboBox*>(find("cbb6"))->setCurrentIndex(2);
    static_cast<QLineEdit*>(find("edt16"))->setText("10");
    static_cast<QLineEdit*>(find("edt17"))->setText("2");
    static_cast<QLineEdit*>(find("edt18"))->setText("5");
    button("btn11")->click();
    const SpectraStore& store = window.workspace().SpectraStore;
    ASSERT_EQ(store.DampingRatios, (DOUBLEVECTOR{0.02, 0.05, 0.1}));
    ASSERT_EQ(store.PseudoAccelerationCurves.size(), 3u);
    EXPECT_EQ(store.PseudoAccelerationCurves[0].size(), 301u);
    EXPECT_EQ(window.Chart()->Series(2)->name(), "Damp. 10%");
    EXPECT_EQ(window.Chart()->Series(0)->count(), 301);

    // Switch the chart to pseudo-acceleration against frequency.
    window.Chart()->YAxisList()->setCurrentIndex(4);
    window.Chart()->XAxisList()->setCurrentIndex(1);
    EXPECT_EQ(window.Chart()->Series(0)->count(), 300);
    EXPECT_EQ(window.Chart()->Series(0)->at(0).x(), 50.0);
    EXPECT_EQ(window.Chart()->Series(0)->at(0).y(), store.PseudoAccelerationCurves[0][1]);
    EXPECT_EQ(window.Chart()->XAxis()->titleText(), "Frequency [HZ]");
    EXPECT_EQ(window.Chart()->YAxis()->titleText(), "Pseudo-Acceleration [g]");

    // Copy two rows of the velocity table.
    StringGrid& velocity = *window.Grids()[1];
    EXPECT_EQ(velocity.RowCount(), 302);
    EXPECT_EQ(velocity.ColCount(), 4);
    velocity.SetSelection(GridRect{1, 2, 2, 3});
    velocity.CopyAction()->trigger();
    const QString expected = velocity.Cell(1, 2) + "\t" + velocity.Cell(2, 2) + "\n" +
                             velocity.Cell(1, 3) + "\t" + velocity.Cell(2, 3) + "\n";
    EXPECT_EQ(platform.clipboard, expected);
    EXPECT_EQ(velocity.Cell(0, 2), "0.020000");
    EXPECT_FALSE(velocity.Cell(1, 2).isEmpty());

    // Export the spectra of both records.
    list("lst3")->item(0)->setCheckState(Qt::Checked);
    list("lst3")->item(1)->setCheckState(Qt::Checked);
    platform.folderAnswers.push_back(QString::fromStdString(gui.string()));
    button("btnExportSpectra")->click();
    EXPECT_EQ(platform.Texts("Information"), (std::vector<QString>{"Done!", "Done!"}));
    EXPECT_TRUE(platform.Texts("Warning").empty());

    // The same reports from the batch front end.
    const std::string common = "--dt 0.02 --scale 1.5 --out " + cli.string();
    ASSERT_EQ(RunCli("th " + common + " " + quake), 0);
    ASSERT_EQ(RunCli("th " + common + " --baseline parabolic " + pulse), 0);
    ASSERT_EQ(RunCli("rs " + common + " --damping 10,2,5 " + quake), 0);
    ASSERT_EQ(RunCli("rs " + common + " --damping 10,2,5 --baseline parabolic " + pulse), 0);
    for (const char* name : {"synthetic-quake_TH.csv", "short-pulse_TH.csv",
                             "synthetic-quake_RS.csv", "short-pulse_RS.csv"}) {
        const std::string fromWindow = ReadAll(gui / name);
        ASSERT_FALSE(fromWindow.empty()) << name;
        EXPECT_NE(fromWindow.find("Report Time: 20261210\r\n"), std::string::npos) << name;
        EXPECT_EQ(WithoutDate(fromWindow), WithoutDate(ReadAll(cli / name))) << name;
    }
    EXPECT_NE(ReadAll(gui / "short-pulse_TH.csv").find("Baseline Correction Type: Parabolic\r\n"),
              std::string::npos);
    fs::remove_all(work);
}

} // namespace
