#include "ui/THData.h"

#include "UiTestData.h"
#include "support/FakePlatform.h"
#include "text/NumberText.h"
#include "ui/GridCopy.h"
#include "ui/StringGrid.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

namespace {

using uitest::CorrectByOffset;
using uitest::MakeRecord;

QString Fixed(double value, int decimals) {
    return QString::fromStdString(FormatFixed(value, decimals));
}

class Viewer : public ::testing::Test {
protected:
    // Opens the viewer as "Detailed Data" does.
    TForm4& Open() {
        viewer = new TForm4(records, platform, '.');
        viewer->ResetViewer();
        viewer->FillViewerRecordList();
        viewer->ShowViewerRecord();
        return *viewer;
    }
    void TearDown() override { delete viewer.data(); }
    StringGrid& Grid() { return *viewer->DataGrid(); }
    QString Row(int row) {
        QString text;
        for (int col = 0; col < 8; ++col) {
            text += Grid().Cell(col, row) + (col < 7 ? "|" : "");
        }
        return text;
    }

    FakePlatform platform;
    std::vector<std::unique_ptr<TimeHistory>> records;
    QPointer<TForm4> viewer;
};

TEST_F(Viewer, WindowAndGridLayout) {
    TForm4& form = Open();
    EXPECT_EQ(form.windowTitle(), "Detailed Data of Time History Records");
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(form.isWindow());
    EXPECT_FALSE(form.isModal());
    EXPECT_TRUE(form.testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_EQ(form.size(), QSize(755, 503));
    EXPECT_NE(form.findChild<QLabel*>(), nullptr);
    bool labelled = false;
    for (const QLabel* label : form.findChildren<QLabel*>()) {
        labelled = labelled || label->text() == "Selected Time History Records";
    }
    EXPECT_TRUE(labelled);
    EXPECT_FALSE(form.RecordChooser()->isEditable());
    EXPECT_EQ(form.CloseButton()->text(), "Close");

    const char* titles[8] = {"No.",
                             "Time [sec]",
                             "Acceleration [g]",
                             "Corrected Acc. [g]",
                             "Velocity [cm/sec]",
                             "Corrected Vel. [cm/sec]",
                             "Displacement [cm]",
                             "Corrected Disp. [cm]"};
    ASSERT_EQ(Grid().ColCount(), 8);
    for (int col = 0; col < 8; ++col) {
        EXPECT_EQ(Grid().Cell(col, 0), titles[col]);
        EXPECT_EQ(Grid().ColWidth(col), col == 0 ? 56 : 100) << col;
    }
}

TEST_F(Viewer, NoRecordsGiveAnEmptyChooserAndABlankTable) {
    TForm4& form = Open();
    EXPECT_EQ(form.RecordChooser()->count(), 0);
    EXPECT_EQ(form.RecordChooser()->currentIndex(), -1);
    for (int row = 1; row < Grid().RowCount(); ++row) {
        EXPECT_EQ(Row(row), "|||||||");
    }
}

TEST_F(Viewer, ThreeSamplesGiveFiveRowsTheLastEmpty) {
    records.push_back(MakeRecord("first.txt", 0.01, {0.0, 0.3, -0.2}));
    records.push_back(MakeRecord("second.txt", 0.02, {0.1}));
    TForm4& form = Open();
    ASSERT_EQ(form.RecordChooser()->count(), 2);
    EXPECT_EQ(form.RecordChooser()->itemText(0), "first.txt");
    EXPECT_EQ(form.RecordChooser()->itemText(1), "second.txt");
    EXPECT_EQ(form.RecordChooser()->currentIndex(), 0);

    const TimeHistory& record = *records[0];
    EXPECT_EQ(Grid().RowCount(), 5);
    for (int i = 0; i < 3; ++i) {
        const auto s = static_cast<std::size_t>(i);
        EXPECT_EQ(Row(i + 1), QString::number(i + 1) + "|" + Fixed(i * 0.01, 5) + "|" +
                                  Fixed(record.GetAcceleration()[s], 8) + "|--|" +
                                  Fixed(record.GetVelocity()[s], 8) + "|--|" +
                                  Fixed(record.GetDisplacement()[s], 8) + "|--");
    }
    EXPECT_TRUE(Row(2).startsWith("2|0.01000|0.30000000|--|")) << Row(2).toStdString();
    EXPECT_EQ(Row(4), "|||||||");
}

TEST_F(Viewer, ARecordOf1000ThenOneOf10LeavesTwelveRows) {
    records.push_back(uitest::MakeLongRecord("long.txt", 0.01, 1000));
    records.push_back(uitest::MakeLongRecord("short.txt", 0.01, 10));
    TForm4& form = Open();
    EXPECT_EQ(Grid().RowCount(), 1002);
    EXPECT_EQ(Grid().Cell(0, 1000), "1000");
    EXPECT_EQ(Grid().Cell(1, 1000), "9.99000");
    form.RecordChooser()->setCurrentIndex(1); // the user's choice shows the record
    EXPECT_EQ(Grid().RowCount(), 12);
    EXPECT_EQ(Grid().Cell(0, 10), "10");
    EXPECT_EQ(Row(11), "|||||||");
    EXPECT_EQ(Grid().Cell(0, 0), "No.");
}

TEST_F(Viewer, ACorrectionOfTheRecordOnShowIsShownAtOnce) {
    records.push_back(MakeRecord("a.txt", 0.01, {0.0, 0.3, -0.2, 0.1}));
    records.push_back(MakeRecord("b.txt", 0.01, {0.2}));
    TForm4& form = Open();
    EXPECT_EQ(Grid().Cell(3, 2), "--");
    Grid().SetSelection({1, 2, 4, 3});

    // "Apply Baseline Correction" in the main window corrects a record, then
    // tells the viewer which one.
    CorrectByOffset(*records[0], 0.05);
    EXPECT_EQ(Grid().Cell(3, 2), "--"); // a copy until it is told
    form.RecordChanged(1);              // not the one on show
    EXPECT_EQ(Grid().Cell(3, 2), "--");
    form.RecordChanged(0);
    EXPECT_EQ(Grid().Selection(), (GridRect{1, 2, 4, 3}));
    EXPECT_EQ(Grid().RowCount(), 6);
    const TimeHistory& record = *records[0];
    for (int row = 1; row <= 4; ++row) {
        const auto s = static_cast<std::size_t>(row - 1);
        EXPECT_EQ(Grid().Cell(3, row), Fixed(record.GetCorrectedAcceleration()[s], 8));
        EXPECT_EQ(Grid().Cell(5, row), Fixed(record.GetCorrectedVelocity()[s], 8));
        EXPECT_EQ(Grid().Cell(7, row), Fixed(record.GetCorrectedDisplacement()[s], 8));
    }
    EXPECT_EQ(Grid().Cell(3, 2), "0.25000000");
    EXPECT_EQ(Grid().Cell(2, 2), "0.30000000");

    // Removing the correction shows "--" again; a viewer showing nothing stays so.
    records[0]->SetCorrected(false);
    form.RecordChanged(0);
    EXPECT_EQ(Grid().Cell(3, 2), "--");
    form.ResetViewer();
    form.RecordChanged(0);
    form.RecordChanged(-1);
    EXPECT_EQ(Row(1), "|||||||");
}

TEST_F(Viewer, ScrollsSidewaysToTheLastColumnAndShowsEveryTitleAsATooltip) {
    records.push_back(MakeRecord("a.txt", 0.01, {0.0, 0.3, -0.2}));
    TForm4& form = Open();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QScrollBar* sideways = Grid().horizontalScrollBar();
    ASSERT_TRUE(sideways->isVisible());
    ASSERT_GT(sideways->maximum(), 0);
    sideways->setValue(sideways->maximum());
    QHeaderView* header = Grid().horizontalHeader();
    const int lastRight = header->sectionViewportPosition(6) + header->sectionSize(6);
    EXPECT_LE(lastRight, Grid().viewport()->width());
    sideways->setValue(0);
    for (int col = 0; col < 8; ++col) {
        EXPECT_EQ(Grid().ColWidth(col), col == 0 ? 56 : 100) << col;
    }

    // Over a heading the tooltip is its full title; column 0's is over the corner.
    for (int col = 1; col < 8; ++col) {
        if (header->sectionViewportPosition(col - 1) + 5 >= header->viewport()->width()) {
            sideways->setValue(sideways->maximum());
        }
        const QPoint at(header->sectionViewportPosition(col - 1) + 5, header->height() / 2);
        QHelpEvent help(QEvent::ToolTip, at, header->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(header->viewport(), &help);
        EXPECT_EQ(QToolTip::text(), Grid().Cell(col, 0)) << col;
    }
    auto* corner = Grid().findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(corner, nullptr);
    QHelpEvent help(QEvent::ToolTip, QPoint(4, 4), corner->mapToGlobal(QPoint(4, 4)));
    QCoreApplication::sendEvent(corner, &help);
    EXPECT_EQ(QToolTip::text(), "No.");
    QToolTip::hideText();
}

TEST_F(Viewer, ResetBlanksTheDataRowsAndSurvivesTheRecordsGoing) {
    records.push_back(MakeRecord("a.txt", 0.01, {0.0, 0.3, -0.2}));
    TForm4& form = Open();
    // "Clear Data": ResetViewer, then the records are destroyed.
    form.ResetViewer();
    records.clear();
    EXPECT_EQ(form.RecordChooser()->count(), 0);
    EXPECT_EQ(Grid().RowCount(), 5);
    EXPECT_EQ(Grid().Cell(1, 0), "Time [sec]");
    for (int row = 1; row < 5; ++row) {
        EXPECT_EQ(Row(row), "|||||||");
    }
    form.ShowViewerRecord(); // nothing chosen: nothing happens
    EXPECT_EQ(Grid().RowCount(), 5);
}

TEST_F(Viewer, TheShownRecordIsACopy) {
    records.push_back(MakeRecord("a.txt", 0.01, {0.0, 0.3, -0.2}));
    Open();
    records.clear(); // even without ResetViewer the viewer reads nothing of the record
    SelectWholeGrid(Grid());
    CopyGridSelection(Grid());
    EXPECT_TRUE(platform.clipboard.startsWith("No.\tTime [sec]\tAcceleration [g]\t"));
    EXPECT_TRUE(platform.clipboard.contains("\n2\t0.01000\t0.30000000\t--\t"));
    EXPECT_TRUE(platform.clipboard.endsWith("\n\t\t\t\t\t\t\t\n"));
}

TEST_F(Viewer, CtrlCCopiesTheTableWhicheverControlHasTheFocus) {
    records.push_back(MakeRecord("a.txt", 0.01, {0.0, 0.3, -0.2}));
    TForm4& form = Open();
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.RecordChooser()->setFocus();
    ASSERT_TRUE(form.RecordChooser()->hasFocus());

    Grid().SetSelection({2, 2, 3, 3});
    QTest::keyClick(form.RecordChooser(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(platform.clipboard, "0.30000000\t--\n-0.20000000\t--\n");
    // One copy although the press travels on to the window.
    EXPECT_EQ(platform.Texts("SetClipboardText").size(), 1u);

    QTest::keyClick(form.RecordChooser(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Grid().Selection(), (GridRect{0, 0, 7, 4}));

    form.CloseButton()->setFocus();
    QTest::keyClick(form.CloseButton(), Qt::Key_C, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(platform.Texts("SetClipboardText").size(), 2u);
    EXPECT_TRUE(platform.clipboard.startsWith("No.\t"));

    Grid().setFocus();
    QTest::keyClick(&Grid(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(platform.Texts("SetClipboardText").size(), 3u);
    QTest::keyClick(&Grid(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(platform.Texts("SetClipboardText").size(), 3u);
}

TEST_F(Viewer, CloseDestroysTheViewer) {
    TForm4& form = Open();
    form.show();
    form.CloseButton()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(viewer.isNull());
}

} // namespace
