// The window in Qt, driven as a user drives it: drops, clicks on buttons and check boxes,
// typing, keys, resizing and closing, with the answers to the boxes it shows.

#include "QtTestMain.h"
#include "Samples.h"

#include "engine/Errors.h"
#include "qt/MainWindow.h"
#include "qt/Pictures.h"
#include "qt/QtPlatform.h"
#include "qt/StatusBarWidget.h"
#include "support/HeadlessPlatform.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QUrl>

#include <filesystem>
#include <functional>
#include <memory>

using namespace ombrix;
using ombrix::qt::MainWindow;
using ombrix::qt::QtPlatform;

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// Runs fn on the next message box the program shows (polling from inside its own loop). The
// watch ends with its owner (each test's), so an unanswered one can't reach the next test.
void onNextBox(QObject* owner, std::function<void(QMessageBox*)> fn) {
    auto* timer = new QTimer(owner);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, fn] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            fn(box);
        }
    });
    timer->start();
}

struct SeenBox {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString defaultButton;
};

SeenBox describe(QMessageBox* box) {
    SeenBox s{box->windowTitle(), box->text(), box->icon(), {}};
    if (box->defaultButton()) s.defaultButton = box->defaultButton()->text();
    return s;
}

void clickIndicator(QCheckBox* cb) {
    QStyleOptionButton opt;
    opt.initFrom(cb);
    const QRect r = cb->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &opt, cb);
    QTest::mouseClick(cb, Qt::LeftButton, Qt::NoModifier, r.center());
}

// Sends the drag enter and the drop of these files to one widget, as the window system does.
bool dropFiles(QWidget* target, const QStringList& files, Qt::DropActions actions = Qt::CopyAction,
               Qt::DropAction* taken = nullptr) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& f : files)
        urls << (f.contains(QLatin1String("://")) ? QUrl(f) : QUrl::fromLocalFile(f));
    data.setUrls(urls);
    data.setText(files.join('\n')); // file managers offer the paths as text too
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(at), actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    if (taken) *taken = drop.dropAction();
    return drop.isAccepted();
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QtPlatform> platform;
    std::unique_ptr<TfMain> model;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<QTemporaryDir> tmp;
    std::unique_ptr<QObject> watches;

    QString path(const char* name) const { return tmp->filePath(QString::fromLatin1(name)); }
    QPushButton* button(const Button& b) const { return window->button(b); }
    QCheckBox* box(const CheckBox& c) const { return window->checkBox(c); }
    QString logText() const { return window->memo(model->mMessage)->toPlainText(); }
    // Resizes the window to an outer size, as the user's drag of its frame does.
    void resizeOuter(int width, int height) {
        const QSize frame = window->frameGeometry().size() - window->size();
        window->resize(width - frame.width(), height - frame.height());
        QCoreApplication::processEvents();
    }

    // Drops a built sample onto the log pane and presses Read EVO.
    ombrix::testing::Sample readSample(std::size_t videoBytes = 200000) {
        const auto sample = ombrix::testing::writeSample(path("FEATURE_1.EVO").toStdString(), videoBytes);
        if (!dropFiles(window->memo(model->mMessage)->viewport(), {path("FEATURE_1.EVO")})) return {};
        QTest::mouseClick(button(model->bCheck), Qt::LeftButton);
        return sample;
    }

  private slots:
    void init() {
        tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(tmp->isValid());
        watches = std::make_unique<QObject>();
        platform = std::make_unique<QtPlatform>();
        model = std::make_unique<TfMain>(*platform);
        window = std::make_unique<MainWindow>(*model, *platform);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCoreApplication::processEvents();
    }
    void cleanup() {
        watches.reset();
        window.reset();
        model.reset();
        platform.reset();
        tmp.reset();
    }

    void startsWithTheDesignedState() {
        QCOMPARE(window->windowTitle(), q("Ombrix " OMBRIX_VERSION));
        // No display name, which Qt would add to the title bar; the desktop entry names the program.
        QCOMPARE(QGuiApplication::desktopFileName(), q("ombrix"));
        for (const Button* b :
             {&model->bCheck, &model->bReadXPL, &model->bDemux, &model->bRebuild, &model->bCancel})
            QVERIFY2(!button(*b)->isEnabled(), qPrintable(button(*b)->text()));
        for (const Button* b : {&model->bbEVO, &model->bbXPL, &model->bClear})
            QVERIFY(button(*b)->isEnabled());
        for (auto& cb : model->cbVideo)
            QCOMPARE(box(cb)->text(), q("No video stream"));
        for (auto& cb : model->cbAudio)
            QCOMPARE(box(cb)->text(), q("No audio stream"));
        for (auto& cb : model->cbSub)
            QCOMPARE(box(cb)->text(), q("No subpicture"));
        for (auto* group : {&model->cbVideo[0], &model->cbAudio[0], &model->cbSub[15]}) {
            QVERIFY(!box(*group)->isEnabled());
            QVERIFY(!box(*group)->isChecked());
        }
        QCOMPARE(QApplication::focusWidget(), button(model->bbEVO));
        QCOMPARE(window->pages()->currentIndex(), 0);
        const QStringList captions{"Status", "Video", "Audio", "Subpicture", "XPL", "Options"};
        QCOMPARE(window->pages()->count(), 6);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(window->pages()->tabText(i), captions[i]);
        auto* bar = window->statusBar();
        QCOMPARE(bar->panelText(0), q(" Ready"));
        QCOMPARE(bar->panelRect(0).width(), 40);
        QCOMPARE(bar->panelText(1), q(" Select or drop an EVO file to demux"));
        QCOMPARE(bar->panelRect(1).right(), bar->width() - 1);
        QCOMPARE(bar->toolTip(), q(" Select or drop an EVO file to demux"));
        QCOMPARE(bar->height(), 21);
        // Options at their defaults, the tree with its four items.
        QCOMPARE(window->edit(model->eVideoExt)->text(), q("mpv"));
        QCOMPARE(window->edit(model->eAudioExt)->text(), q("mpa"));
        QCOMPARE(window->edit(model->eSubExt)->text(), q("sup"));
        for (const CheckBox* cb :
             {&model->cbContinue, &model->cbFastCheck, &model->cbCountFr, &model->cbDetails})
            QVERIFY(box(*cb)->isChecked());
        QCOMPARE(box(model->cbContinue)->text(), q("Continue with second  EVO"));
        QCOMPARE(window->tree()->topLevelItemCount(), 4);
        QCOMPARE(window->tree()->topLevelItem(3)->text(0), q("Chapter"));
        QCOMPARE(window->tree()->indentation(), 19);
        QCOMPARE(window->tree()->selectionMode(), QAbstractItemView::ExtendedSelection);
        QVERIFY(button(model->bDemux)->font().bold());
        QCOMPARE(window->logo()->size(), QSize(125, 31));
        const QIcon folder = button(model->bbEVO)->icon();
        QVERIFY(!folder.isNull());
        QVERIFY(folder.pixmap(16, QIcon::Disabled).toImage() != folder.pixmap(16, QIcon::Normal).toImage());
        QCOMPARE(button(model->bbEVO)->size(), QSize(25, 25));
        QVERIFY(window->edit(model->eEVOfile)->isReadOnly());
    }

    void tooltipsShowThePartBeforeTheBar_data() {
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QString>("tip");
        QTest::newRow("EVO field") << "eEVOfile"
                                   << "Drop here the source EVO file";
        QTest::newRow("XPL field") << "eXPLfile"
                                   << "Drop here the VPLST000.XPL";
        QTest::newRow("EVO browse") << "bbEVO"
                                    << "Browse an EVO file";
        QTest::newRow("Read EVO") << "bCheck"
                                  << "Read the source EVO file to detect streams";
        QTest::newRow("Rebuild") << "bRebuild"
                                 << "";
        QTest::newRow("Cancel") << "bCancel"
                                << "You can stop the actual process";
        QTest::newRow("logo") << "imLogo"
                              << "HD DVD logo :-)";
        QTest::newRow("sub box 01") << "cbSub01"
                                    << "Check the desired subpicture streams";
        QTest::newRow("sub box 00") << "cbSub00"
                                    << "";
        QTest::newRow("audio page") << "tsAudio"
                                    << "Check the desired audio streams";
        QTest::newRow("SUP extension") << "eSubExt"
                                       << "This is real .sup format, don't change!";
        QTest::newRow("tree") << "tvXPL"
                              << "Infos from your XPL file";
    }
    void tooltipsShowThePartBeforeTheBar() {
        QFETCH(QString, widget);
        QFETCH(QString, tip);
        const std::map<QString, const Control*> controls{
            {"eEVOfile", &model->eEVOfile}, {"eXPLfile", &model->eXPLfile}, {"bbEVO", &model->bbEVO},
            {"bCheck", &model->bCheck},     {"bRebuild", &model->bRebuild}, {"bCancel", &model->bCancel},
            {"imLogo", &model->imLogo},     {"cbSub01", &model->cbSub[1]},  {"cbSub00", &model->cbSub[0]},
            {"eSubExt", &model->eSubExt},   {"tvXPL", &model->tvXPL}};
        QWidget* w = widget == "tsAudio" ? window->page(tsAudio) : window->widgetFor(*controls.at(widget));
        QVERIFY(w);
        QCOMPARE(w->toolTip(), tip);
    }

    void dropReachesTheHandlerAnywhere_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("log pane") << "log";
        QTest::newRow("EVO field") << "evo";
        QTest::newRow("XPL text pane") << "xpl";
        QTest::newRow("a stream check box") << "box";
        QTest::newRow("the output folder edit") << "workdir";
        QTest::newRow("the window") << "window";
    }
    void dropReachesTheHandlerAnywhere() {
        QFETCH(QString, target);
        QWidget* w = target == "log"       ? window->memo(model->mMessage)->viewport()
                     : target == "evo"     ? static_cast<QWidget*>(window->edit(model->eEVOfile))
                     : target == "xpl"     ? window->memo(model->mXPL)->viewport()
                     : target == "box"     ? static_cast<QWidget*>(box(model->cbAudio[3]))
                     : target == "workdir" ? static_cast<QWidget*>(window->edit(model->eWorkdir))
                                           : static_cast<QWidget*>(window.get());
        const QString evo = path("movie.evo");
        QVERIFY(dropFiles(w, {evo}));
        QCOMPARE(window->edit(model->eEVOfile)->text(), evo);
        QVERIFY(button(model->bCheck)->isEnabled());
        QCOMPARE(window->edit(model->eXPLfile)->text(), q("VPLST000.XPL"));
        // The text panes and edits took nothing in.
        QVERIFY(model->eWorkdir.text().empty());
        QVERIFY(window->edit(model->eWorkdir)->text().isEmpty());
        QVERIFY(logText().isEmpty());
        QVERIFY(window->memo(model->mXPL)->toPlainText().isEmpty());
    }

    void dropTakesTheFirstLocalFileAndOnlyCopies() {
        const QString first = path("HVDVD_TS/FEATURE_1.EVO");
        Qt::DropAction taken = Qt::IgnoreAction;
        QVERIFY(dropFiles(window.get(), {first, path("other.evo"), path("VPLST000.XPL")},
                          Qt::MoveAction | Qt::CopyAction, &taken));
        QCOMPARE(taken, Qt::CopyAction); // never a move: the source must not delete the file
        QCOMPARE(window->edit(model->eEVOfile)->text(), first);
        QCOMPARE(window->edit(model->eXPLfile)->text(), path("ADV_OBJ/VPLST000.XPL"));
        QVERIFY(button(model->bReadXPL)->isEnabled());
        // Remote links aren't files: refused at the enter event, nothing changes.
        QVERIFY(!dropFiles(window.get(), {"https://example.org/a.evo"}));
        QVERIFY(!dropFiles(window.get(), {path("b.evo")}, Qt::MoveAction));
        QCOMPARE(window->edit(model->eEVOfile)->text(), first);
    }

    void dropIsRefusedWhileAPassRuns() {
        {
            TfMain::PassGuard pass(*model);
            QVERIFY(!dropFiles(window->memo(model->mMessage)->viewport(), {path("a.evo")}));
            QVERIFY(!button(model->bbEVO)->isEnabled()); // held back and shown so
        }
        QVERIFY(window->edit(model->eEVOfile)->text().isEmpty());
        QVERIFY(button(model->bbEVO)->isEnabled());
        QVERIFY(dropFiles(window->memo(model->mMessage)->viewport(), {path("a.evo")}));
    }

    void readEvoTicksAndCaptionsTheStreamBoxes() {
        readSample();
        QCOMPARE(window->pages()->currentIndex(), int(tsStatus));
        const std::pair<const CheckBox*, QString> found[] = {{&model->cbVideo[0], "VC-1.stream.0"},
                                                             {&model->cbAudio[0], "DD.stream.00"},
                                                             {&model->cbAudio[1], "DD+.stream.01"},
                                                             {&model->cbSub[0], "Subpicture.00"}};
        for (const auto& [cb, caption] : found) {
            QCOMPARE(box(*cb)->text(), caption);
            QVERIFY(box(*cb)->isChecked());
            QVERIFY(box(*cb)->isEnabled());
        }
        QCOMPARE(box(model->cbVideo[0])->parentWidget(), window->page(tsVideo));
        QCOMPARE(box(model->cbAudio[1])->parentWidget(), window->page(tsAudio));
        QCOMPARE(box(model->cbSub[0])->parentWidget(), window->page(tsSubpicture));
        QCOMPARE(box(model->cbVideo[1])->text(), q("No video stream"));
        QVERIFY(!box(model->cbAudio[2])->isEnabled());
        QVERIFY(button(model->bDemux)->isEnabled());
        QVERIFY(button(model->bRebuild)->isEnabled());
        QVERIFY(button(model->bCheck)->isEnabled());
        QVERIFY(!button(model->bCancel)->isEnabled());

        // The log pane shows the model's lines exactly; the status bar the end of a command.
        QStringList lines;
        for (const auto& l : model->mMessage.lines())
            lines << q(l);
        QCOMPARE(logText(), lines.join('\n'));
        QVERIFY(lines.contains("Done."));
        QCOMPARE(lines.first(), q("Opening file FEATURE_1.EVO"));
        auto* bar = window->statusBar();
        QCOMPARE(bar->panelText(0), q(" Ready"));
        QCOMPARE(bar->panelText(1), q(" "));
        QCOMPARE(bar->toolTip(), QString());
        const QFontMetrics fm(bar->font());
        QCOMPARE(bar->panelRect(0).width(), fm.horizontalAdvance(" Readya"));
        QCOMPARE(bar->panelRect(1).left(), fm.horizontalAdvance(" Readya"));
    }

    void untickingTheLastBoxDisablesDemuxAndRebuild() {
        readSample();
        std::vector<QCheckBox*> ticked;
        for (auto* group : {&model->cbVideo[0], &model->cbAudio[0], &model->cbAudio[1], &model->cbSub[0]})
            ticked.push_back(box(*group));
        for (std::size_t i = 0; i < ticked.size(); ++i) {
            window->pages()->setCurrentWidget(ticked[i]->parentWidget());
            clickIndicator(ticked[i]);
            QVERIFY(!ticked[i]->isChecked());
            const bool last = i + 1 == ticked.size();
            QCOMPARE(button(model->bDemux)->isEnabled(), !last);
            QCOMPARE(button(model->bRebuild)->isEnabled(), !last);
        }
        QCOMPARE(model->PageControl.activePage(), int(tsSubpicture));
        // Ticking one again brings both back.
        clickIndicator(ticked.back());
        QVERIFY(model->cbSub[0].checked());
        QVERIFY(button(model->bDemux)->isEnabled());
        QVERIFY(button(model->bRebuild)->isEnabled());
    }

    void cancelDuringDemuxAsks_data() {
        QTest::addColumn<int>("key"); // 0: the Yes button
        QTest::addColumn<bool>("goesOn");
        QTest::newRow("Esc answers No") << int(Qt::Key_Escape) << true;
        QTest::newRow("Enter takes the default No") << int(Qt::Key_Return) << true;
        QTest::newRow("Yes stops") << 0 << false;
    }
    void cancelDuringDemuxAsks() {
        QFETCH(int, key);
        QFETCH(bool, goesOn);
        const auto sample = readSample(12 << 20);
        QVERIFY(button(model->bDemux)->isEnabled());
        QDir(tmp->path()).mkdir("out");
        QTest::keyClicks(window->edit(model->eWorkdir), tmp->filePath("out"));
        QCOMPARE(model->eWorkdir.text(), tmp->filePath("out").toStdString());

        SeenBox seen;
        bool cancelWasEnabled = false;
        // At the pass's first message pump (after 4 MiB): press Cancel, then answer the question.
        QTimer::singleShot(0, [&] {
            cancelWasEnabled = button(model->bCancel)->isEnabled();
            onNextBox(watches.get(), [&](QMessageBox* b) {
                seen = describe(b);
                if (key)
                    QTest::keyClick(b, Qt::Key(key));
                else
                    b->button(QMessageBox::Yes)->click();
            });
            QTest::mouseClick(button(model->bCancel), Qt::LeftButton);
        });
        QTest::mouseClick(button(model->bDemux), Qt::LeftButton);

        QVERIFY(cancelWasEnabled);
        QCOMPARE(seen.text, q("Are you sure to stop demuxing?"));
        QCOMPARE(seen.icon, QMessageBox::Question);
        QCOMPARE(seen.defaultButton, QApplication::translate("QPlatformTheme", "&No"));
        QCOMPARE(model->st.Cancelled, !goesOn);
        const auto video =
            std::filesystem::path(tmp->filePath("out").toStdString()) / "FEATURE_1.VC-1.stream.0.mpv";
        QVERIFY(std::filesystem::exists(video));
        const auto written = std::filesystem::file_size(video);
        if (goesOn)
            QCOMPARE(written, std::uintmax_t(sample.videoBytes));
        else
            QVERIFY(written < sample.videoBytes);
        QCOMPARE(window->statusBar()->panelText(0), q(" Ready"));
        QVERIFY(button(model->bDemux)->isEnabled());
        QVERIFY(!button(model->bCancel)->isEnabled());
    }

    void cancelDuringReadEvoStopsWithoutAsking() {
        ombrix::testing::writeSample(path("FEATURE_1.EVO").toStdString(), 12 << 20);
        QVERIFY(dropFiles(window.get(), {path("FEATURE_1.EVO")}));
        bool asked = false;
        QTimer::singleShot(0, [&] {
            onNextBox(watches.get(), [&](QMessageBox* b) {
                asked = true;
                b->reject();
            });
            QTest::mouseClick(button(model->bCancel), Qt::LeftButton);
        });
        QTest::mouseClick(button(model->bCheck), Qt::LeftButton);
        QVERIFY(model->st.Cancelled);
        QCoreApplication::processEvents();
        QVERIFY(!asked);
        QVERIFY(box(model->cbVideo[0])->isChecked()); // the streams found so far
        QCOMPARE(window->statusBar()->panelText(0), q(" Ready"));
    }

    void anErrorIsShownAndTheWindowStaysUsable() {
        const QString missing = path("gone.evo");
        QVERIFY(dropFiles(window.get(), {missing}));
        SeenBox seen;
        onNextBox(watches.get(), [&](QMessageBox* b) {
            seen = describe(b);
            b->accept();
        });
        QTest::mouseClick(button(model->bCheck), Qt::LeftButton);
        QCOMPARE(seen.title, q("HD DVD Ombrix"));
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QVERIFY2(seen.text.startsWith("Cannot open file \"" + missing + "\". "), qPrintable(seen.text));
        QVERIFY(window->isVisible());
        QVERIFY(!button(model->bCheck)->isEnabled()); // the command's first steps stand
        ombrix::testing::writeSample(missing.toStdString(), 100000);
        QVERIFY(dropFiles(window.get(), {missing}));
        QVERIFY(button(model->bCheck)->isEnabled());
        QTest::mouseClick(button(model->bCheck), Qt::LeftButton);
        QCOMPARE(window->statusBar()->panelText(0), q(" Ready"));
        QVERIFY(box(model->cbVideo[0])->isChecked());
    }

    void browsingChoosesTheFileAndMovesTheFocus() {
        QDir(tmp->path()).mkpath("HVDVD_TS");
        const QString evo = path("HVDVD_TS/FEATURE_1.EVO");
        ombrix::testing::writeSample(evo.toStdString(), 100000);
        // Ticked boxes of an earlier scan are reset by browsing.
        QVERIFY(dropFiles(window.get(), {evo}));
        QTest::mouseClick(button(model->bCheck), Qt::LeftButton);
        QVERIFY(box(model->cbVideo[0])->isChecked());
        QApplication::setActiveWindow(window.get());
        button(model->bbEVO)->setFocus();

        auto* watch = new QTimer(watches.get());
        watch->setInterval(5);
        QString startDir;
        bool cancel = false;
        connect(watch, &QTimer::timeout, [&] {
            if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                startDir = d->directory().absolutePath();
                if (cancel)
                    d->reject();
                else {
                    d->selectFile(evo);
                    static_cast<QDialog*>(d)->accept();
                }
            }
        });
        watch->start();
        QTest::mouseClick(button(model->bbEVO), Qt::LeftButton);
        QCOMPARE(startDir, path("HVDVD_TS"));
        QCOMPARE(window->edit(model->eEVOfile)->text(), evo);
        QCOMPARE(window->focusWidget(), button(model->bCheck)); // the focus the window gets back
        QVERIFY(!box(model->cbVideo[0])->isChecked());
        QVERIFY(!button(model->bDemux)->isEnabled());
        // A cancel takes the last confirmed name again.
        cancel = true;
        button(model->bbEVO)->setFocus();
        QTest::mouseClick(button(model->bbEVO), Qt::LeftButton);
        QCOMPARE(window->edit(model->eEVOfile)->text(), evo);
        QVERIFY(button(model->bCheck)->isEnabled());
        watch->stop();
    }

    void enterPressesReadEvo() {
        ombrix::testing::writeSample(path("a.evo").toStdString(), 100000);
        QVERIFY(dropFiles(window.get(), {path("a.evo")}));
        window->edit(model->eWorkdir)->setFocus();
        QTest::keyClick(window->edit(model->eWorkdir), Qt::Key_Return);
        QVERIFY(model->mMessage.lines().size() > 2);
        QCOMPARE(q(model->mMessage.lines().front()), q("Opening file a.evo"));
        QVERIFY(box(model->cbVideo[0])->isChecked());
    }

    void logoFollowsTheWidth_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("logoLeft");
        QTest::newRow("designed") << 370 << 153;
        QTest::newRow("432") << 432 << 153;
        QTest::newRow("433") << 433 << 153;
        QTest::newRow("600") << 600 << 237;
        QTest::newRow("801") << 801 << 337;
    }
    void logoFollowsTheWidth() {
        QFETCH(int, width);
        QFETCH(int, logoLeft);
        resizeOuter(width, 420);
        QCOMPARE(window->frameGeometry().width(), width);
        QCOMPARE(model->frame.width, width);
        QCOMPARE(window->logo()->x(), logoLeft);
        QCOMPARE(window->logo()->y(), window->height() - 55);
        // The bottom row: Demux and Rebuild at their places, Cancel anchored to the right edge.
        QCOMPARE(button(model->bDemux)->geometry(), QRect(8, window->height() - 52, 60, 25));
        QCOMPARE(button(model->bRebuild)->geometry().left(), 74);
        QCOMPARE(button(model->bCancel)->geometry().right() + 1, window->width() - 8);
        QCOMPARE(button(model->bCheck)->geometry().right() + 1, window->width() - 8);
        QCOMPARE(window->statusBar()->geometry(), QRect(0, window->height() - 21, window->width(), 21));
    }

    void minimumSizeHolds() {
        QCOMPARE(window->frameGeometry().size(), QSize(370, 380)); // the designed size at start
        resizeOuter(500, 500);
        resizeOuter(200, 150);
        QCOMPARE(window->frameGeometry().size(), QSize(370, 380));
        QCOMPARE(model->frame.width, 370);
        QCOMPARE(model->frame.height, 380);
        model->frame.width = 100; // as a stored setting would
        model->frame.update();
        QCoreApplication::processEvents();
        QCOMPARE(window->frameGeometry().width(), 370);
        model->frame.width = 640;
        model->frame.height = 400;
        model->frame.update();
        QCoreApplication::processEvents();
        QCOMPARE(window->frameGeometry().size(), QSize(640, 400));
        QCOMPARE(model->logoLeft, 257);
        QCOMPARE(window->logo()->x(), 257);
    }

    void storedPlacementIsApplied() {
        // As the settings load applies it: bounds first, then the state.
        WindowFrame& f = model->frame;
        f.left = 40;
        f.top = 30;
        f.width = 500;
        f.height = 420;
        f.update();
        QCoreApplication::processEvents();
        QCOMPARE(window->frameGeometry(), QRect(40, 30, 500, 420));
        f.state = WindowFrame::Maximized;
        f.update();
        QTRY_VERIFY(window->isMaximized());
        QTRY_COMPARE(model->frame.state, int(WindowFrame::Maximized));
        window->showNormal();
        QTRY_COMPARE(model->frame.state, int(WindowFrame::Normal));
        QTRY_COMPARE(window->frameGeometry(), QRect(40, 30, 500, 420));
        QCOMPARE(model->frame.width, 500);
        // A move of the window reaches the model.
        window->move(60, 50);
        QTRY_COMPARE(model->frame.left, 60);
        QCOMPARE(model->frame.top, 50);
    }

    void statusBarAndWindowRepaintAtOnce() {
        struct PaintCount : QObject {
            int paints = 0;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Paint) ++paints;
                return false;
            }
        } bar, whole;
        window->statusBar()->installEventFilter(&bar);
        window->installEventFilter(&whole);
        model->slog("Reading FEATURE_1.EVO", 0);
        QCOMPARE(bar.paints, 1); // painted before any event was handled
        QCOMPARE(window->statusBar()->panelText(0), q(" Reading FEATURE_1.EVO"));
        QCOMPARE(window->statusBar()->panelRect(0).width(),
                 QFontMetrics(window->statusBar()->font()).horizontalAdvance(" Reading FEATURE_1.EVOa"));
        model->slog("4/100 Mbytes, Remaining time: 0:00:07", 1);
        QCOMPARE(bar.paints, 2);
        QCOMPARE(window->statusBar()->toolTip(), q("4/100 Mbytes, Remaining time: 0:00:07"));
        whole.paints = 0;
        platform->repaintWindow();
        QCOMPARE(whole.paints, 1);
        window->statusBar()->removeEventFilter(&bar);
        window->removeEventFilter(&whole);
    }

    void tabOrderFollowsTheDesign() {
        for (Button* b :
             {&model->bCheck, &model->bReadXPL, &model->bDemux, &model->bRebuild, &model->bCancel})
            b->setEnabled(true);
        QApplication::setActiveWindow(window.get());
        button(model->bbEVO)->setFocus();
        QList<QWidget*> seen;
        for (int i = 0; i < 20 && !seen.contains(QApplication::focusWidget()); ++i) {
            seen << QApplication::focusWidget();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QWidget* status = window->page(tsStatus);
        const QList<QWidget*> expected{button(model->bbEVO),          button(model->bCheck),
                                       button(model->bbXPL),          button(model->bReadXPL),
                                       button(model->bDemux),         button(model->bRebuild),
                                       window->pages()->tabBar(),     button(model->bClear),
                                       window->memo(model->mMessage), button(model->bCancel)};
        QCOMPARE(seen, expected);
        QVERIFY(status->isAncestorOf(button(model->bClear)));
        // On the Options page the tab goes through its controls in their order.
        window->pages()->setCurrentIndex(tsOption);
        window->pages()->tabBar()->setFocus();
        QList<QWidget*> options;
        for (int i = 0; i < 9; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            options << QApplication::focusWidget();
        }
        const QList<QWidget*> expectedOptions{
            window->edit(model->eVideoExt), window->edit(model->eAudioExt), window->edit(model->eSubExt),
            window->edit(model->eWorkdir),  box(model->cbContinue),         box(model->cbFastCheck),
            box(model->cbCountFr),          box(model->cbDetails),          button(model->bCancel)};
        QCOMPARE(options, expectedOptions);
    }

    void typedExtensionsStopAtFiveCharacters() {
        QLineEdit* e = window->edit(model->eVideoExt);
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, "abcdefgh");
        QCOMPARE(e->text(), q("abcde"));
        QCOMPARE(model->eVideoExt.text(), std::string("abcde"));
        // A longer text set by the program stays whole, can't grow, and can be shortened.
        model->eVideoExt.setText("mpeg2v");
        QCOMPARE(e->text(), q("mpeg2v"));
        e->end(false);
        QTest::keyClicks(e, "x");
        QCOMPARE(e->text(), q("mpeg2v"));
        QTest::keyClick(e, Qt::Key_Backspace);
        QCOMPARE(e->text(), q("mpeg2"));
        QCOMPARE(model->eVideoExt.text(), std::string("mpeg2"));
        // The output folder has no limit.
        QTest::keyClicks(window->edit(model->eWorkdir), "/a/long/output/folder");
        QCOMPARE(model->eWorkdir.text(), std::string("/a/long/output/folder"));
    }

    void optionTicksAndPagesReachTheModel() {
        window->pages()->setCurrentIndex(tsOption);
        QCOMPARE(model->PageControl.activePage(), int(tsOption));
        clickIndicator(box(model->cbFastCheck));
        QVERIFY(!model->cbFastCheck.checked());
        QVERIFY(!model->fastCheck());
        model->cbDetails.setChecked(false);
        QVERIFY(!box(model->cbDetails)->isChecked());
        model->PageControl.setActivePage(tsAudio);
        QCOMPARE(window->pages()->currentIndex(), int(tsAudio));
    }

    void logPaneAppendsAndClears() {
        model->log("");
        model->log("x");
        model->log("");
        QCOMPARE(logText(), q("\nx\n"));
        QCOMPARE(window->memo(model->mMessage)->document()->blockCount(), 3);
        QTest::mouseClick(button(model->bClear), Qt::LeftButton);
        QVERIFY(logText().isEmpty());
        QVERIFY(model->mMessage.lines().empty());
        model->log("Done.");
        QCOMPARE(logText(), q("Done."));
        model->mXPL.setLines({"<a>", "  <b/>", "</a>"});
        QCOMPARE(window->memo(model->mXPL)->toPlainText(), q("<a>\n  <b/>\n</a>"));
    }

    void splitterAndTreeFollowEachOther() {
        window->resize(500, 420);
        window->pages()->setCurrentIndex(tsXPL);
        QCoreApplication::processEvents();
        QSplitter* s = window->splitter();
        model->tvXPL.setWidth(150);
        QCOMPARE(s->sizes().front(), 150);
        s->setHandleWidth(s->handleWidth());
        // A drag of the handle moves the model's width; neither side gets below 50.
        QWidget* handle = s->handle(1);
        QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, QPoint(1, 5));
        QTest::mouseMove(handle, QPoint(-59, 5));
        QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, QPoint(-59, 5));
        QCOMPARE(model->tvXPL.width(), s->sizes().front());
        QVERIFY(model->tvXPL.width() < 150);
        model->tvXPL.setWidth(10);
        QCOMPARE(s->sizes().front(), 50);
        model->tvXPL.setNodes({{"Title 1", {{"Video", {}}, {"Audio", {{"DD+.stream.01", {}}}}}}});
        QCOMPARE(window->tree()->topLevelItemCount(), 1);
        QCOMPARE(window->tree()->topLevelItem(0)->child(1)->child(0)->text(0), q("DD+.stream.01"));
    }

    void closingDuringAPassWaitsForItsEnd() {
        ombrix::testing::writeSample(path("FEATURE_1.EVO").toStdString(), 12 << 20);
        QVERIFY(dropFiles(window.get(), {path("FEATURE_1.EVO")}));
        bool stayedOpen = false;
        QTimer::singleShot(0, [&] {
            window->close();
            stayedOpen = window->isVisible() && model->closePending();
        });
        QTest::mouseClick(button(model->bCheck), Qt::LeftButton);
        QVERIFY(stayedOpen);
        QVERIFY(model->mMessage.lines().size() > 2);
        QVERIFY(!model->st.Cancelled); // the pass ran to its end
        QTRY_VERIFY(!window->isVisible());
    }

    void settingsErrorsAreShownAndTheWindowStaysUsable() {
        // A store whose Width is a text, and whose every save fails.
        struct FailingStore : ombrix::testing::MemorySettingsStore {
            void writeInteger(const std::string&, std::int32_t) override {
                throw Error("Stream write error");
            }
        };
        auto store = std::make_unique<FailingStore>();
        store->keyExists = true;
        store->values["Width"] = std::string("wide");
        store->values["FastCheck"] = std::int32_t{0};
        QtPlatform p;
        p.setSettingsStore(std::move(store));
        TfMain m(p);
        MainWindow w(m, p);
        QStringList seen;
        auto answer = [&](QMessageBox* b) {
            seen << b->text();
            b->accept();
        };
        onNextBox(watches.get(), answer);
        w.show();
        QTRY_COMPARE(seen, QStringList{"Invalid data type for 'Width'"});
        QVERIFY(w.isVisible());
        QVERIFY(w.checkBox(m.cbFastCheck)->isChecked()); // the load stopped at Width
        QVERIFY(w.button(m.bbEVO)->isEnabled());
        // A save that fails is shown, and the window still closes.
        onNextBox(watches.get(), answer);
        QVERIFY(w.close());
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen.back(), q("Stream write error"));
        QVERIFY(!w.isVisible());
    }

    void closingWithoutAPassCloses() {
        QVERIFY(window->close());
        QVERIFY(!window->isVisible());
    }
};

OMBRIX_QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
