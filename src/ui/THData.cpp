#include "ui/THData.h"

#include "record/Timeserie.h"
#include "text/NumberText.h"
#include "ui/GridCopy.h"
#include "ui/StringGrid.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolTip>
#include <QVBoxLayout>

#include <array>

namespace {
constexpr int ClientWidth = 755;  // px
constexpr int ClientHeight = 503; // px
constexpr int ColumnCount = 8;
constexpr int StartRows = 5; // before the first record is shown
const char* const Titles[ColumnCount] = {"No.",
                                         "Time [sec]",
                                         "Acceleration [g]",
                                         "Corrected Acc. [g]",
                                         "Velocity [cm/sec]",
                                         "Corrected Vel. [cm/sec]",
                                         "Displacement [cm]",
                                         "Corrected Disp. [cm]"};
} // namespace

struct TForm4::Shown {
    double dt = 0.0; // s
    bool corrected = false;
    // Columns 2 .. 7: acceleration (g), velocity (cm/sec), displacement (cm),
    // each uncorrected then corrected.
    std::array<DOUBLEVECTOR, 6> series;
};

TForm4::TForm4(const std::vector<std::unique_ptr<TimeHistory>>& records, Platform& platform,
               char decimalSeparator, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), records(records),
      separator(decimalSeparator) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Detailed Data of Time History Records"));

    label = new QLabel(QStringLiteral("Selected Time History Records"));
    chooser = new QComboBox();
    chooser->setObjectName(QStringLiteral("RecordChooser"));
    chooser->setEditable(false);
    chooser->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    chooser->setMinimumContentsLength(24);

    grid = new StringGrid(platform);
    grid->setObjectName(QStringLiteral("DataGrid"));
    grid->SetSize(ColumnCount, StartRows);
    for (int col = 0; col < ColumnCount; ++col) {
        grid->SetColWidth(col, col == 0 ? 56 : 100);
        grid->SetCell(col, 0, QString::fromLatin1(Titles[col]));
    }
    // Seven 100-pixel columns are wider than the window.
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Titles wider than their column: the full title as a tooltip over the
    // heading row (columns 1 .. 7) and over the corner (column 0).
    grid->horizontalHeader()->viewport()->installEventFilter(this);
    if (auto* corner = grid->findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly)) {
        corner->installEventFilter(this);
    }

    closeButton = new QPushButton(QStringLiteral("Close"));
    closeButton->setObjectName(QStringLiteral("CloseButton"));
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    auto* top = new QHBoxLayout();
    top->addWidget(label);
    top->addWidget(chooser);
    top->addStretch(1);
    auto* bottom = new QHBoxLayout();
    bottom->addStretch(1);
    bottom->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(grid, 1);
    layout->addLayout(bottom);
    resize(ClientWidth, ClientHeight);
    if (parent != nullptr) {
        move(parent->geometry().center() - QPoint(ClientWidth / 2, ClientHeight / 2));
    }

    connect(chooser, &QComboBox::currentIndexChanged, this, [this] { ShowViewerRecord(); });
    shortcuts = new GridShortcutFilter(*this, *grid);
}

TForm4::~TForm4() = default;

void TForm4::ResetViewer() {
    {
        const QSignalBlocker blocker(chooser);
        chooser->clear();
    }
    grid->SetCellFunction(nullptr); // drops the copy of the record's series
    grid->ClearRows(1, grid->RowCount() - 1);
}

void TForm4::FillViewerRecordList() {
    const QSignalBlocker blocker(chooser);
    for (const std::unique_ptr<TimeHistory>& record : records) {
        chooser->addItem(QString::fromStdString(record->GetName()));
    }
    chooser->setCurrentIndex(chooser->count() > 0 ? 0 : -1);
}

bool TForm4::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    int col = 0; // the corner
    if (watched == grid->horizontalHeader()->viewport()) {
        const int section = grid->horizontalHeader()->logicalIndexAt(help->pos());
        if (section < 0) {
            QToolTip::hideText();
            return true;
        }
        col = section + 1;
    }
    QToolTip::showText(help->globalPos(), grid->Cell(col, 0), qobject_cast<QWidget*>(watched));
    return true;
}

void TForm4::RecordChanged(int index) {
    if (index >= 0 && index == chooser->currentIndex()) {
        ShowViewerRecord();
    }
}

void TForm4::ShowViewerRecord() {
    const int chosen = chooser->currentIndex();
    if (chosen < 0 || static_cast<std::size_t>(chosen) >= records.size()) {
        return;
    }
    const TimeHistory& record = *records[static_cast<std::size_t>(chosen)];
    auto shown = std::make_shared<Shown>();
    shown->dt = record.GetDt();
    shown->corrected = record.IsCorrected();
    shown->series[0] = record.GetAcceleration();
    shown->series[2] = record.GetVelocity();
    shown->series[4] = record.GetDisplacement();
    if (shown->corrected) {
        shown->series[1] = record.GetCorrectedAcceleration();
        shown->series[3] = record.GetCorrectedVelocity();
        shown->series[5] = record.GetCorrectedDisplacement();
    }
    const int count = record.Count();

    grid->SetCellFunction(nullptr);
    grid->SetRowCount(count + 2);
    grid->ClearRows(1, count + 1); // the stored text below the headings; the last row stays so
    const char sep = separator;
    grid->SetCellFunction([shown, count, sep](int col, int row) -> std::optional<QString> {
        if (row < 1 || row > count) {
            return std::nullopt;
        }
        const auto sample = static_cast<std::size_t>(row - 1);
        switch (col) {
        case 0:
            return QString::number(row);
        case 1:
            return QString::fromStdString(
                FormatFixed(static_cast<double>(sample) * shown->dt, 5, sep));
        default: {
            const bool correctedColumn = col % 2 == 1;
            if (correctedColumn && !shown->corrected) {
                return QStringLiteral("--");
            }
            const DOUBLEVECTOR& values = shown->series[static_cast<std::size_t>(col - 2)];
            if (sample >= values.size()) {
                return QString();
            }
            return QString::fromStdString(FormatFixed(values[sample], 8, sep));
        }
        }
    });
}
