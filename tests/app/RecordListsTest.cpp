// The record lists driven as the user drives them: mouse clicks on the
// viewport, Tab into a list, keys in a list.
#include "app/Unit1.h"
#include "support/FakePlatform.h"
#include "ui/TimeHistoryPlots.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

class RecordLists : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("vorsen-lists-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        // Three records of different lengths, so the plots tell which one is shown.
        QStringList files;
        for (int i = 0; i < 3; ++i) {
            const fs::path path = folder / ("R" + std::to_string(i) + ".txt");
            std::ofstream out(path, std::ios::binary);
            for (int s = 0; s < 5 + i; ++s) {
                out << 0.1 * (s % 3) - 0.05 * i << "\n";
            }
            files << QString::fromStdString(path.string());
        }
        window.ImportRecordFiles(ImportChoice{}, files);
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void TearDown() override { fs::remove_all(folder); }

    template <typename T> T* Find(const char* name) {
        T* widget = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    static void Click(QListWidget* list, int row,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QPoint at = list->visualItemRect(list->item(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, at);
    }
    static QPoint BelowTheRows(QListWidget* list) { return {10, list->viewport()->height() - 4}; }
    qsizetype PlottedSamples() {
        return window.Plots()->Samples(TimeHistoryPlots::AccelerationChart, 0).size();
    }
    void ShowPage(int page) { Find<QTabWidget>("pgc1")->setCurrentIndex(page); }

    fs::path folder;
    FakePlatform platform;
    TForm1 window{platform};
};

TEST_F(RecordLists, TheTimeHistoryListKeepsItsSelectedRow) {
    QListWidget* lst1 = Find<QListWidget>("lst1");
    ASSERT_EQ(lst1->count(), 3);
    ASSERT_EQ(lst1->itemAt(BelowTheRows(lst1)), nullptr);
    ASSERT_EQ(window.SelectedRecord(), window.workspace().Records[0].get());

    // Neither a click below the rows nor a Ctrl+click on the selected row
    // leaves the list without a selected row.
    QTest::mouseClick(lst1->viewport(), Qt::LeftButton, Qt::NoModifier, BelowTheRows(lst1));
    EXPECT_EQ(window.SelectedRecord(), window.workspace().Records[0].get());
    Click(lst1, 0, Qt::ControlModifier);
    EXPECT_EQ(window.SelectedRecord(), window.workspace().Records[0].get());
    EXPECT_EQ(lst1->selectedItems().size(), 1);

    // Ordinary clicks still choose another row, and it is plotted.
    Click(lst1, 2);
    EXPECT_EQ(window.SelectedRecord(), window.workspace().Records[2].get());
    EXPECT_EQ(PlottedSamples(), 7);
    Click(lst1, 1, Qt::ControlModifier); // Ctrl+click on another row selects it
    EXPECT_EQ(window.SelectedRecord(), window.workspace().Records[1].get());
    QTest::mouseClick(lst1->viewport(), Qt::LeftButton, Qt::NoModifier, BelowTheRows(lst1));
    EXPECT_EQ(PlottedSamples(), 6);

    // So "Apply Baseline Correction" always corrects the record on show.
    Find<QPushButton>("btnApplyCorrection")->click();
    EXPECT_TRUE(window.workspace().Records[1]->IsCorrected());
    EXPECT_FALSE(window.workspace().Records[0]->IsCorrected());
    EXPECT_TRUE(platform.Boxes().empty());
}

TEST_F(RecordLists, FocusArrivingInTheSpectraListLeavesRecordAlone) {
    ShowPage(1);
    auto* cbb4 = Find<QComboBox>("cbb4");
    QListWidget* lst3 = Find<QListWidget>("lst3");
    cbb4->setCurrentIndex(2);
    cbb4->setFocus();
    ASSERT_TRUE(cbb4->hasFocus());

    QTest::keyClick(cbb4, Qt::Key_Tab);
    ASSERT_TRUE(lst3->hasFocus());
    EXPECT_EQ(cbb4->currentIndex(), 2);
    EXPECT_TRUE(lst3->selectedItems().isEmpty());

    // Selecting with the keys does choose the record.
    QTest::keyClick(lst3, Qt::Key_Down);
    ASSERT_EQ(lst3->selectedItems().size(), 1);
    EXPECT_EQ(cbb4->currentIndex(), lst3->currentRow());
}

TEST_F(RecordLists, ClickingTheSelectedSpectraRowAgainChoosesItsRecord) {
    ShowPage(1);
    auto* cbb4 = Find<QComboBox>("cbb4");
    QListWidget* lst3 = Find<QListWidget>("lst3");
    Click(lst3, 1);
    EXPECT_EQ(cbb4->currentText(), "R1.txt");

    cbb4->setCurrentIndex(0); // the user chose another record in "Record"
    Click(lst3, 1);
    EXPECT_EQ(cbb4->currentText(), "R1.txt");
    Click(lst3, 2);
    EXPECT_EQ(cbb4->currentText(), "R2.txt");
    // Choosing is all: nothing was analysed.
    EXPECT_TRUE(window.workspace().SpectraStore.DisplacementCurves.empty());
}

TEST_F(RecordLists, CtrlCInARecordListLeavesTheClipboardAlone) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    {
        // A plain list copies its current row's name: the platform's clipboard works.
        QListWidget plain;
        plain.addItem(QStringLiteral("name"));
        plain.setCurrentRow(0);
        clipboard->setText(QStringLiteral("before"));
        QTest::keyClick(&plain, Qt::Key_C, Qt::ControlModifier);
        ASSERT_EQ(clipboard->text(), "name");
    }
    for (int page : {0, 1}) {
        ShowPage(page);
        QListWidget* list = Find<QListWidget>(page == 0 ? "lst1" : "lst3");
        list->setFocus();
        list->setCurrentRow(1);
        clipboard->setText(QStringLiteral("table cells"));
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(clipboard->text(), "table cells") << page;
    }
    EXPECT_TRUE(platform.Texts("SetClipboardText").empty());
}

} // namespace
