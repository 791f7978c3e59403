// Takes the screenshots of the README: the import dialog, both pages of the
// main window and the data viewer, with example records imported ("Detect from
// file": a PEER NGA file and a Free Type one), one corrected and analysed.
//   vorsen-screenshots OUTPUT_FOLDER
#include "app/Unit1.h"
#include "import/InputFileForm.h"
#include "support/FakePlatform.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <cstdio>

namespace {

void Settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
    }
}

bool Save(QWidget& widget, const QString& path) {
    Settle();
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "vorsen-screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: vorsen-screenshots OUTPUT_FOLDER\n", stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString examples = QStringLiteral(VORSEN_SOURCE_DIR "/examples/");

    bool ok = true;
    FakePlatform platform;
    TForm1 window(platform);
    window.show();

    {
        TForm2 dialog(platform, examples, '.', [](const ImportChoice&, const QStringList&) {});
        dialog.findChild<QRadioButton*>("rb4")->setChecked(true);
        dialog.show();
        ok &= Save(dialog, out + "/import-dialog.png");
    }

    ImportChoice choice;
    choice.Format.reset(); // "Detect from file"
    choice.FreeType.TimeStep = 0.02;
    window.ImportRecordFiles(choice,
                             {examples + "synthetic-quake.AT2", examples + "short-pulse.txt"});
    window.findChild<QListWidget*>("lst1")->item(0)->setCheckState(Qt::Checked);
    window.findChild<QPushButton*>("btnApplyCorrection")->click();

    auto* pages = window.findChild<QTabWidget*>("pgc1");
    pages->setCurrentIndex(1);
    window.findChild<QComboBox*>("cbb6")->setCurrentIndex(2);
    window.findChild<QPushButton*>("btn11")->click();

    pages->setCurrentIndex(0);
    ok &= Save(window, out + "/time-history-page.png");
    pages->setCurrentIndex(1);
    ok &= Save(window, out + "/spectra-page.png");
    auto* spectraTabs = window.findChild<QTabWidget*>("pgc2");
    spectraTabs->setCurrentIndex(5);
    ok &= Save(window, out + "/spectra-table.png");
    spectraTabs->setCurrentIndex(0);

    window.ShowDetailedData();
    if (TForm4* viewer = window.Viewer()) {
        ok &= Save(*viewer, out + "/data-viewer.png");
    }
    for (const FakePlatform::Call& box : platform.Boxes()) {
        std::fprintf(stderr, "vorsen-screenshots: unexpected message: %s\n", qPrintable(box.text));
        ok = false;
    }
    return ok ? 0 : 1;
}
