// The platform port in Qt: the boxes, the open dialog, the locale's time format and decimal
// separator, the clock, the status bar's text measure and the fonts.

#include "QtTestMain.h"

#include "engine/Format.h"
#include "qt/Application.h"
#include "qt/QtPlatform.h"
#include "window/Main.h"

#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <functional>

using ombrix::OpenDialog;
using ombrix::qt::QtPlatform;

namespace {

template <typename Box> void onNextModal(std::function<void(Box*)> fn) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, fn] {
        if (auto* box = qobject_cast<Box*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            fn(box);
        }
    });
    timer->start();
}

} // namespace

class QtPlatformTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void clockFormatDropsTheTimeZone_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("clock");
        QTest::newRow("12-hour, zone last") << "h:mm:ss AP t"
                                            << "h:mm:ss AP";
        QTest::newRow("24-hour, zone last") << "HH:mm:ss t"
                                            << "HH:mm:ss";
        QTest::newRow("zone first") << "t HH:mm:ss"
                                    << "HH:mm:ss";
        QTest::newRow("long zone name") << "HH:mm:ss tttt"
                                        << "HH:mm:ss";
        QTest::newRow("zone between") << "HH:mm t ss"
                                      << "HH:mm ss";
        QTest::newRow("quoted t stays") << "H 'h' mm 'tt' t"
                                        << "H 'h' mm 'tt'";
        QTest::newRow("no zone") << "H:mm:ss"
                                 << "H:mm:ss";
    }
    void clockFormatDropsTheTimeZone() {
        QFETCH(QString, locale);
        QFETCH(QString, clock);
        QCOMPARE(QString::fromStdString(QtPlatform::clockFormat(locale)), clock);
    }

    void longTimeFormatAndDecimalFollowTheLocale_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("time"); // of 0:03:27
        QTest::addColumn<QString>("decimal");
        QTest::newRow("C") << "C"
                           << "00:03:27"
                           << ".";
        QTest::newRow("en_US") << "en_US"
                               << "12:03:27 AM"
                               << ".";
        QTest::newRow("de_DE") << "de_DE"
                               << "00:03:27"
                               << ",";
        QTest::newRow("fi_FI") << "fi_FI"
                               << "0.03.27"
                               << ",";
    }
    void longTimeFormatAndDecimalFollowTheLocale() {
        QFETCH(QString, locale);
        QFETCH(QString, time);
        QFETCH(QString, decimal);
        QLocale::setDefault(QLocale(locale));
        QtPlatform p;
        const std::string format = p.longTimeFormat();
        QVERIFY2(format.find('t') == std::string::npos, format.c_str());
        const double days = (3 * 60 + 27) / 86400.0;
        QCOMPARE(QString::fromStdString(ombrix::formatTimeOfDay(days, format)), time);
        QCOMPARE(QString(QChar::fromLatin1(p.decimalSeparator())), decimal);
    }

    void nameFiltersAndDefaultSuffix() {
        QCOMPARE(QtPlatform::nameFilters("EVOB files (HD DVD)|*.evo|VOB files (DVD)|*.vob"),
                 QStringList({"EVOB files (HD DVD) (*.evo)", "VOB files (DVD) (*.vob)"}));
        QCOMPARE(QtPlatform::nameFilters("XPL|VPLST000.XPL"), QStringList({"XPL (VPLST000.XPL)"}));
        QCOMPARE(QtPlatform::nameFilters("Both|*.evo;*.vob"), QStringList({"Both (*.evo *.vob)"}));
        QCOMPARE(QtPlatform::nameFilters(""), QStringList());
        QCOMPARE(QtPlatform::defaultSuffix("EVO"), QString("EVO"));
        QCOMPARE(QtPlatform::defaultSuffix("*.xpl"), QString("xpl"));
    }

    void openDialogConfirmedAndCancelled() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath("FEATURE_1.EVO");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QtPlatform p;
        ombrix::TfMain model(p);
        OpenDialog& d = model.odEVOfile;
        d.initialDir = dir.path().toStdString();

        QString title;
        QStringList filters;
        QString selectedFilter;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        onNextModal<QFileDialog>([&](QFileDialog* box) {
            title = box->windowTitle();
            filters = box->nameFilters();
            selectedFilter = box->selectedNameFilter();
            mode = box->fileMode();
            box->selectFile(file);
            static_cast<QDialog*>(box)->accept();
        });
        QVERIFY(p.runOpenDialog(d));
        QCOMPARE(title, QString("Choose the EVO file to demux"));
        QCOMPARE(filters.size(), 2);
        QCOMPARE(selectedFilter, filters.front());
        QCOMPARE(mode, QFileDialog::ExistingFile);
        QCOMPARE(QString::fromStdString(d.fileName), QDir::toNativeSeparators(file));

        // A cancel keeps the last confirmed name and says so.
        QString filled;
        onNextModal<QFileDialog>([&](QFileDialog* box) {
            filled = box->selectedFiles().value(0);
            box->reject();
        });
        QVERIFY(!p.runOpenDialog(d));
        QCOMPARE(filled, file);
        QCOMPARE(QString::fromStdString(d.fileName), QDir::toNativeSeparators(file));
    }

    void openDialogListsDiscFilesInCapitals() {
        // Discs name their files in capitals; the filter "*.evo" must list them.
        QTemporaryDir dir;
        for (const char* name : {"FEATURE_1.EVO", "menu.evo", "VTS_01_1.VOB", "notes.txt"}) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QtPlatform p;
        ombrix::TfMain model(p);
        model.odEVOfile.initialDir = dir.path().toStdString();
        QStringList listed;
        onNextModal<QFileDialog>([&](QFileDialog* box) {
            auto* files = box->findChild<QFileSystemModel*>();
            auto* view = box->findChild<QListView*>(QStringLiteral("listView"));
            QVERIFY(files && view);
            QTRY_VERIFY(view->model()->rowCount(view->rootIndex()) > 0);
            for (int i = 0; i < view->model()->rowCount(view->rootIndex()); ++i)
                listed << view->model()->index(i, 0, view->rootIndex()).data().toString();
            box->reject();
        });
        QVERIFY(!p.runOpenDialog(model.odEVOfile));
        listed.sort();
        QCOMPARE(listed, QStringList({"FEATURE_1.EVO", "menu.evo"}));
    }

    void questionDefaultsToNo_data() {
        QTest::addColumn<int>("key"); // 0: click Yes
        QTest::addColumn<bool>("yes");
        QTest::newRow("Esc") << int(Qt::Key_Escape) << false;
        QTest::newRow("Enter") << int(Qt::Key_Return) << false;
        QTest::newRow("Yes") << 0 << true;
    }
    void questionDefaultsToNo() {
        QFETCH(int, key);
        QFETCH(bool, yes);
        QtPlatform p;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        onNextModal<QMessageBox>([&](QMessageBox* box) {
            text = box->text();
            icon = box->icon();
            QCOMPARE(box->defaultButton(), box->button(QMessageBox::No));
            QCOMPARE(box->escapeButton(), static_cast<QAbstractButton*>(box->button(QMessageBox::No)));
            if (key)
                QTest::keyClick(box, Qt::Key(key));
            else
                box->button(QMessageBox::Yes)->click();
        });
        QCOMPARE(p.askYesNo("Are you sure to stop demuxing?"), yes);
        QCOMPARE(text, QString("Are you sure to stop demuxing?"));
        QCOMPARE(icon, QMessageBox::Question);
    }

    void errorBoxShowsTheMessage() {
        QtPlatform p;
        QString title, text;
        onNextModal<QMessageBox>([&](QMessageBox* box) {
            title = box->windowTitle();
            text = box->text();
            box->accept();
        });
        p.showError("Cannot open file \"x.evo\". No such file or directory");
        QCOMPARE(title, QString("HD DVD Ombrix"));
        QCOMPARE(text, QString("Cannot open file \"x.evo\". No such file or directory"));
    }

    void clockIsTheLocalTimeAsDays() {
        QtPlatform p;
        const QDateTime t = QDateTime::currentDateTime();
        const double expected = ombrix::oleDate(t.date().year(), t.date().month(), t.date().day(),
                                                t.time().msecsSinceStartOfDay() / 1000.0);
        QVERIFY(std::abs(p.now() - expected) * 86400.0 < 2.0);
        QVERIFY(p.now() > 45000); // a day count of this century, not seconds or a fraction
    }

    void textWidthIsMeasuredInTheStatusBarsFont() {
        QtPlatform p;
        QWidget window;
        QWidget bar(&window);
        QFont big = bar.font();
        big.setPointSize(20);
        bar.setFont(big);
        p.attach(&window, &bar);
        QCOMPARE(p.textWidth(" Readya"), QFontMetrics(big).horizontalAdvance(" Readya"));
        QVERIFY(p.textWidth(" Readya") > p.textWidth(" a"));
    }

    void controlsGetTahomaEightPoint() {
        if (!QFile::exists("/usr/share/wine/fonts/tahoma.ttf") &&
            !QFontDatabase::families().contains("Tahoma", Qt::CaseInsensitive))
            QSKIP("no Tahoma on this system: the system font stays");
        QVERIFY(ombrix::qt::tahomaInstalled());
        QCOMPARE(QApplication::font().pointSize(), 8);
        QCOMPARE(QFontInfo(QApplication::font()).family(), QString("Tahoma"));
    }
};

OMBRIX_QTEST_MAIN(QtPlatformTest)
#include "QtPlatformTest.moc"
