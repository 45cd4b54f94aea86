#include "qt/MainWindow.h"

#include "qt/Application.h"
#include "qt/EventBoundary.h"
#include "qt/LengthLimit.h"
#include "qt/Pictures.h"
#include "qt/QtPlatform.h"
#include "qt/StatusBarWidget.h"
#include "qt/Text.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QDropEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace ombrix::qt {

namespace {

// Places at the designed client width of 362; right-anchored controls keep their distance
// from the right edge, the bottom row its distance from the bottom edge.
constexpr int kMargin = 8;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kBrowseSize = 25;
constexpr int kGap = 4;
constexpr int kFieldHeight = 21;
constexpr int kRow1 = 8;
constexpr int kRow2 = 37;
constexpr int kPagesTop = 66;
constexpr int kBottomButtonWidth = 60;
constexpr int kBottomRowFromBottom = 52; // top of the bottom row's buttons above the client's bottom edge
constexpr int kLogoFromBottom = 55;
constexpr int kDemuxLeft = 8;
constexpr int kRebuildLeft = 74;
constexpr int kCancelFromRight = 68;
constexpr int kTreeMinimum = 50;

QTreeWidgetItem* makeItem(const TreeNode& node) {
    auto* item = new QTreeWidgetItem(QStringList{toQ(node.text)});
    for (const TreeNode& child : node.children)
        item->addChild(makeItem(child));
    return item;
}

} // namespace

MainWindow::MainWindow(TfMain& model, QtPlatform& platform)
    : QWidget(nullptr), model_(model), platform_(platform) {
    setObjectName(QStringLiteral("fMain"));
    build();
    platform_.attach(this, statusBar_);
    platform_.onCloseWindow = [this] {
        // The pass that held the close back has ended: close now, without asking the model again.
        closeApproved_ = true;
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    };
    qApp->installEventFilter(this);
    building_ = false;
    applyFrame();
    layoutChildren();
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    platform_.onCloseWindow = nullptr;
    platform_.attach(nullptr, nullptr);
    // The model outlives the window: its notifications must no longer reach the widgets.
    std::vector<Control*> bound;
    for (auto& [widget, control] : controls_)
        bound.push_back(control);
    for (Control* c : bound)
        c->onChange = nullptr;
    model_.frame.onChange = nullptr;
    model_.StatusBar.onChange = nullptr;
    model_.PageControl.onChange = nullptr;
    model_.tvXPL.onChange = nullptr;
    model_.mXPL.onChange = nullptr;
    model_.mMessage.onChange = nullptr;
    model_.imLogo.onChange = nullptr;
    model_.onFocusChange = nullptr;
}

// --- building -------------------------------------------------------------------------------

void MainWindow::remember(const Control& control, QWidget* widget) {
    widgets_[&control] = widget;
    controls_[widget] = const_cast<Control*>(&control);
}

bool MainWindow::run(const std::function<void()>& handler) {
    return deliver(platform_, handler);
}

void MainWindow::syncCommon(const Control& control, QWidget* widget) {
    widget->setEnabled(control.usable());
    if (widget->isHidden() == control.visible()) widget->setHidden(!control.visible());
    const QString tip = toQ(control.tooltip());
    if (widget->toolTip() != tip) widget->setToolTip(tip);
}

QPushButton* MainWindow::makeButton(Button& control, QWidget* parent, void (TfMain::*handler)()) {
    auto* b = new QPushButton(parent);
    b->setAutoDefault(true); // Enter presses the button that has the focus
    remember(control, b);
    auto sync = [&control, b] {
        if (!control.caption().empty() || !b->text().isEmpty()) b->setText(toQ(control.caption()));
        syncCommon(control, b);
    };
    control.onChange = sync;
    sync();
    TfMain* m = &model_;
    connect(b, &QPushButton::clicked, this, [this, m, handler] { run([m, handler] { (m->*handler)(); }); });
    return b;
}

QCheckBox* MainWindow::makeCheckBox(CheckBox& control, QWidget* parent) {
    auto* cb = new QCheckBox(parent);
    remember(control, cb);
    auto sync = [&control, cb] {
        cb->setText(toQ(control.caption()));
        if (cb->isChecked() != control.checked()) {
            const QSignalBlocker quiet(cb);
            cb->setChecked(control.checked());
        }
        syncCommon(control, cb);
    };
    control.onChange = sync;
    sync();
    connect(cb, &QCheckBox::clicked, this, [this, &control, sync] {
        run([&control] { control.click(); });
        sync(); // the widget shows the model's tick, whatever the handler did
    });
    return cb;
}

QLineEdit* MainWindow::makeEdit(Edit& control, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setAcceptDrops(false); // a drop goes to the window, not into the text
    e->setReadOnly(control.readOnly);
    if (control.maxLength) e->setValidator(new LengthLimit(static_cast<qsizetype>(control.maxLength), e));
    remember(control, e);
    auto sync = [&control, e] {
        const QString text = toQ(control.text());
        if (e->text() != text) LengthLimit::setProgramText(e, text);
        syncCommon(control, e);
    };
    control.onChange = sync;
    sync();
    connect(e, &QLineEdit::textEdited, this, [this, &control](const QString& text) {
        run([&control, &text] { control.setText(fromQ(text)); });
    });
    return e;
}

QPlainTextEdit* MainWindow::makeMemo(Memo& control, QWidget* parent) {
    auto* m = new QPlainTextEdit(parent);
    m->setReadOnly(true);
    m->setAcceptDrops(false);
    m->viewport()->setAcceptDrops(false);
    m->setLineWrapMode(QPlainTextEdit::NoWrap);
    m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m->setTabChangesFocus(true);
    m->setUndoRedoEnabled(false);
    remember(control, m);
    shownLines_[&control] = 0;
    control.onChange = [this, &control, m] { syncMemo(control, m); };
    syncMemo(control, m);
    return m;
}

void MainWindow::syncMemo(const Memo& control, QPlainTextEdit* m) {
    std::size_t& shown = shownLines_[&control];
    const auto& lines = control.lines();
    if (control.lastChange == Memo::Change::Appended && shown + 1 == lines.size()) {
        // One new line: appended as it is (an empty text is an empty line), at the end.
        QScrollBar* bar = m->verticalScrollBar();
        const bool atEnd = bar->value() == bar->maximum();
        QTextCursor c(m->document());
        c.movePosition(QTextCursor::End);
        if (shown > 0) c.insertBlock();
        c.insertText(toQ(lines.back()));
        shown = lines.size();
        if (atEnd) bar->setValue(bar->maximum());
    } else {
        QString all;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i) all += QLatin1Char('\n');
            all += toQ(lines[i]);
        }
        m->setPlainText(all);
        shown = lines.size();
    }
    syncCommon(control, m);
}

QWidget* MainWindow::buildStatusPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    auto* top = new QHBoxLayout;
    top->addStretch(1);
    QPushButton* clear = makeButton(model_.bClear, page, &TfMain::bClearClick);
    clear->setFixedSize(50, 19);
    top->addWidget(clear);
    layout->addLayout(top);
    layout->addWidget(makeMemo(model_.mMessage, page), 1);
    return page;
}

QWidget* MainWindow::buildStreamPage(std::array<CheckBox, 8>& boxes) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(2);
    for (CheckBox& cb : boxes)
        layout->addWidget(makeCheckBox(cb, page));
    layout->addStretch(1);
    return page;
}

QWidget* MainWindow::buildStreamPage(std::array<CheckBox, 16>& boxes) {
    auto* page = new QWidget;
    auto* layout = new QGridLayout(page);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setHorizontalSpacing(8);
    layout->setVerticalSpacing(2);
    // Column by column: 00 to 07 on the left, 08 to 15 on the right (and so in the tab order).
    for (int i = 0; i < 16; ++i)
        layout->addWidget(makeCheckBox(boxes[static_cast<std::size_t>(i)], page), i % 8, i / 8);
    layout->setRowStretch(8, 1);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    return page;
}

QWidget* MainWindow::buildXplPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    splitter_ = new QSplitter(Qt::Horizontal, page);
    splitter_->setChildrenCollapsible(false);
    tree_ = new QTreeWidget(splitter_);
    tree_->setHeaderHidden(true);
    tree_->setIndentation(19);
    tree_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tree_->setMinimumWidth(kTreeMinimum);
    tree_->setAcceptDrops(false);
    tree_->viewport()->setAcceptDrops(false);
    remember(model_.tvXPL, tree_);
    mXPL_ = makeMemo(model_.mXPL, splitter_);
    mXPL_->setFont(xplFont());
    mXPL_->setMinimumWidth(kTreeMinimum);
    splitter_->addWidget(tree_);
    splitter_->addWidget(mXPL_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    layout->addWidget(splitter_);
    model_.tvXPL.onChange = [this] { syncTree(); };
    syncTree();
    connect(splitter_, &QSplitter::splitterMoved, this, [this] {
        const QList<int> sizes = splitter_->sizes();
        if (!sizes.isEmpty()) run([this, w = sizes.front()] { model_.tvXPL.setWidth(w); });
    });
    splitter_->installEventFilter(this);
    return page;
}

QWidget* MainWindow::buildOptionPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(8, 6, 8, 6);
    auto* group = new QGroupBox(page);
    group->setObjectName(QStringLiteral("gbFile"));
    auto* g = new QGridLayout(group);
    g->setContentsMargins(8, 6, 8, 8);
    g->setVerticalSpacing(3);
    auto* lVideoExt = new QLabel(toQ(model_.lVideoExt), group);
    lVideoExt->setObjectName(QStringLiteral("lVideoExt"));
    g->addWidget(lVideoExt, 0, 0, 1, 4);
    int column = 0;
    for (Edit* e : {&model_.eVideoExt, &model_.eAudioExt, &model_.eSubExt}) {
        QLineEdit* w = makeEdit(*e, group);
        w->setFixedWidth(48);
        g->addWidget(w, 1, column++);
    }
    g->setColumnStretch(3, 1);
    auto* lWorkdir = new QLabel(toQ(model_.lWorkdir), group);
    lWorkdir->setObjectName(QStringLiteral("lWorkdir"));
    g->addWidget(lWorkdir, 2, 0, 1, 4);
    g->addWidget(makeEdit(model_.eWorkdir, group), 3, 0, 1, 4);
    layout->addWidget(group);
    for (CheckBox* cb : {&model_.cbContinue, &model_.cbFastCheck, &model_.cbCountFr, &model_.cbDetails})
        layout->addWidget(makeCheckBox(*cb, page));
    layout->addStretch(1);
    return page;
}

void MainWindow::build() {
    TfMain& m = model_;
    setWindowTitle(toQ(m.caption));
    setAcceptDrops(false); // the show event makes the window a drop target

    eEVOfile_ = makeEdit(m.eEVOfile, this);
    eEVOfile_->setFocusPolicy(Qt::ClickFocus); // not a tab stop
    bbEVO_ = makeButton(m.bbEVO, this, &TfMain::bbEVOClick);
    bCheck_ = makeButton(m.bCheck, this, &TfMain::bCheckClick);
    bCheck_->setDefault(true);
    eXPLfile_ = makeEdit(m.eXPLfile, this);
    eXPLfile_->setFocusPolicy(Qt::ClickFocus);
    bbXPL_ = makeButton(m.bbXPL, this, &TfMain::bbXPLClick);
    bReadXPL_ = makeButton(m.bReadXPL, this, &TfMain::bReadXPLClick);
    for (QPushButton* b : {bbEVO_, bbXPL_}) {
        b->setIcon(openFolderIcon());
        b->setIconSize(QSize(16, 16));
    }
    bDemux_ = makeButton(m.bDemux, this, &TfMain::bDemuxClick);
    QFont bold = bDemux_->font();
    bold.setBold(true);
    bDemux_->setFont(bold);
    bRebuild_ = makeButton(m.bRebuild, this, &TfMain::bRebuildClick);

    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("PageControl"));
    remember(m.PageControl, pages_);
    std::array<QWidget*, 6> sheets{
        buildStatusPage(), buildStreamPage(m.cbVideo), buildStreamPage(m.cbAudio), buildStreamPage(m.cbSub),
        buildXplPage(),    buildOptionPage()};
    static const char* const names[] = {"tsStatus",     "tsVideo", "tsAudio",
                                        "tsSubpicture", "tsXPL",   "tsOption"};
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        sheets[i]->setObjectName(QString::fromLatin1(names[i]));
        sheets[i]->setToolTip(toQ(m.pageHints[i].substr(0, m.pageHints[i].find('|'))));
        pages_->addTab(sheets[i], toQ(m.pageCaptions[i]));
    }
    auto syncPages = [this] {
        if (pages_->currentIndex() != model_.PageControl.activePage())
            pages_->setCurrentIndex(model_.PageControl.activePage());
        syncCommon(model_.PageControl, pages_);
    };
    m.PageControl.onChange = syncPages;
    syncPages();
    connect(pages_, &QTabWidget::currentChanged, this, [this](int index) {
        if (!building_) run([this, index] { model_.PageControl.setActivePage(index); });
    });

    logo_ = new QLabel(this);
    logo_->setObjectName(QStringLiteral("imLogo"));
    logo_->setPixmap(logoPicture());
    logo_->setFixedSize(kLogoWidth, kLogoHeight);
    logo_->setAttribute(Qt::WA_TranslucentBackground);
    remember(m.imLogo, logo_);
    m.imLogo.onChange = [this] { syncCommon(model_.imLogo, logo_); };
    syncCommon(m.imLogo, logo_);

    bCancel_ = makeButton(m.bCancel, this, &TfMain::bCancelClick);

    statusBar_ = new StatusBarWidget(m.StatusBar, this);
    m.StatusBar.onChange = [this] { statusBar_->sync(); };

    m.frame.onChange = [this] {
        if (!readingFrame_ && !applyingFrame_) {
            applyFrame();
            // The logo follows the new width at once (a resize may be reported later).
            readingFrame_ = true;
            run([this] { model_.FormResize(); });
            readingFrame_ = false;
        }
        placeLogo();
    };
    m.onFocusChange = [this] { syncFocus(); };
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (!now || now->window() != this) return;
        auto it = controls_.find(now);
        if (it != controls_.end()) model_.focused = it->second;
    });

    setTabOrder();
}

void MainWindow::setTabOrder() {
    TfMain& m = model_;
    std::vector<QWidget*> order{bbEVO_, bCheck_, bbXPL_, bReadXPL_, bDemux_, bRebuild_, pages_->tabBar()};
    order.push_back(widgetFor(m.bClear));
    order.push_back(widgetFor(m.mMessage));
    for (auto& cb : m.cbVideo)
        order.push_back(widgetFor(cb));
    for (auto& cb : m.cbAudio)
        order.push_back(widgetFor(cb));
    for (auto& cb : m.cbSub)
        order.push_back(widgetFor(cb));
    order.push_back(tree_);
    order.push_back(mXPL_);
    for (const Control* c :
         std::initializer_list<const Control*>{&m.eVideoExt, &m.eAudioExt, &m.eSubExt, &m.eWorkdir,
                                               &m.cbContinue, &m.cbFastCheck, &m.cbCountFr, &m.cbDetails})
        order.push_back(widgetFor(*c));
    order.push_back(bCancel_);
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

// --- model to widgets --------------------------------------------------------------------------

void MainWindow::syncTree() {
    const Tree& t = model_.tvXPL;
    if (shownNodes_ != t.nodes()) {
        tree_->clear();
        for (const TreeNode& node : t.nodes())
            tree_->addTopLevelItem(makeItem(node));
        shownNodes_ = t.nodes();
    }
    syncCommon(t, tree_);
    keepTreeWidth();
}

void MainWindow::keepTreeWidth() {
    const int total = splitter_->width() - splitter_->handleWidth();
    if (total <= 0) return;
    const int w =
        std::clamp(model_.tvXPL.width(), kTreeMinimum, std::max(kTreeMinimum, total - kTreeMinimum));
    const QList<int> sizes = splitter_->sizes();
    if (sizes.size() == 2 && sizes[0] == w && sizes[1] == total - w) return;
    splitter_->setSizes({w, total - w});
}

void MainWindow::syncFocus() {
    if (!model_.focused) return;
    if (QWidget* w = widgetFor(*model_.focused)) w->setFocus(Qt::OtherFocusReason);
}

QWidget* MainWindow::widgetFor(const Control& control) const {
    auto it = widgets_.find(&control);
    return it == widgets_.end() ? nullptr : it->second;
}

QPushButton* MainWindow::button(const Button& control) const {
    return qobject_cast<QPushButton*>(widgetFor(control));
}
QCheckBox* MainWindow::checkBox(const CheckBox& control) const {
    return qobject_cast<QCheckBox*>(widgetFor(control));
}
QLineEdit* MainWindow::edit(const Edit& control) const {
    return qobject_cast<QLineEdit*>(widgetFor(control));
}
QPlainTextEdit* MainWindow::memo(const Memo& control) const {
    return qobject_cast<QPlainTextEdit*>(widgetFor(control));
}
QWidget* MainWindow::page(int index) const {
    return pages_->widget(index);
}

// --- geometry ----------------------------------------------------------------------------------

void MainWindow::layoutChildren() {
    const int w = width();
    const int h = height();
    const int checkLeft = w - kMargin - kButtonWidth;
    const int browseLeft = checkLeft - kGap - kBrowseSize;
    const int fieldWidth = std::max(0, browseLeft - kGap - kMargin);
    eEVOfile_->setGeometry(kMargin, kRow1 + 2, fieldWidth, kFieldHeight);
    bbEVO_->setGeometry(browseLeft, kRow1, kBrowseSize, kBrowseSize);
    bCheck_->setGeometry(checkLeft, kRow1, kButtonWidth, kButtonHeight);
    eXPLfile_->setGeometry(kMargin, kRow2 + 2, fieldWidth, kFieldHeight);
    bbXPL_->setGeometry(browseLeft, kRow2, kBrowseSize, kBrowseSize);
    bReadXPL_->setGeometry(checkLeft, kRow2, kButtonWidth, kButtonHeight);
    const int bottomRow = h - kBottomRowFromBottom;
    pages_->setGeometry(kMargin, kPagesTop, std::max(0, w - 2 * kMargin),
                        std::max(0, bottomRow - 6 - kPagesTop));
    bDemux_->setGeometry(kDemuxLeft, bottomRow, kBottomButtonWidth, kButtonHeight);
    bRebuild_->setGeometry(kRebuildLeft, bottomRow, kBottomButtonWidth, kButtonHeight);
    bCancel_->setGeometry(w - kCancelFromRight, bottomRow, kBottomButtonWidth, kButtonHeight);
    statusBar_->setGeometry(0, h - StatusBarWidget::kHeight, w, StatusBarWidget::kHeight);
    placeLogo();
}

void MainWindow::placeLogo() {
    logo_->move(model_.logoLeft, height() - kLogoFromBottom);
}

void MainWindow::updateMinimumSize() {
    setMinimumSize(std::max(0, kMinWidth - frameMargins_.width()),
                   std::max(0, kMinHeight - frameMargins_.height()));
}

bool MainWindow::refreshMargins() {
    if (!shown_) return false;
    const QSize margins = frameGeometry().size() - size();
    if (margins == frameMargins_ || margins.width() < 0 || margins.height() < 0) return false;
    frameMargins_ = margins;
    updateMinimumSize();
    return true;
}

void MainWindow::applyFrame() {
    // The model's placement, taken whole before the first move reports back.
    WindowFrame& f = model_.frame;
    f.width = std::max(f.width, kMinWidth);
    f.height = std::max(f.height, kMinHeight);
    const Placement target{f.left, f.top, f.width, f.height, f.state};
    refreshMargins();
    const QSize margins = frameMargins_;
    applyingFrame_ = true;
    if (target.state == WindowFrame::Maximized) {
        if (!(windowState() & Qt::WindowMaximized)) {
            // The normal bounds first, so that restoring the window gives them back.
            move(target.left, target.top);
            resize(target.width - margins.width(), target.height - margins.height());
            setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
        }
    } else if (target.state == WindowFrame::Minimized) {
        if (!(windowState() & Qt::WindowMinimized)) setWindowState(windowState() | Qt::WindowMinimized);
    } else {
        if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))
            setWindowState(Qt::WindowNoState);
        const QRect outer = frameGeometry();
        if (outer.topLeft() != QPoint(target.left, target.top)) move(target.left, target.top);
        if (outer.size() != QSize(target.width, target.height))
            resize(target.width - margins.width(), target.height - margins.height());
    }
    applyingFrame_ = false;
    f.left = target.left;
    f.top = target.top;
    f.width = target.width;
    f.height = target.height;
    f.state = target.state;
}

void MainWindow::readFrame(bool resized) {
    // Until the window is on screen its geometry is the one the model gave it.
    if (building_ || !shown_ || applyingFrame_) return;
    refreshMargins();
    WindowFrame& f = model_.frame;
    const QRect outer = frameGeometry();
    f.left = outer.left();
    f.top = outer.top();
    f.width = outer.width();
    f.height = outer.height();
    f.state = (windowState() & Qt::WindowMaximized)   ? WindowFrame::Maximized
              : (windowState() & Qt::WindowMinimized) ? WindowFrame::Minimized
                                                      : WindowFrame::Normal;
    readingFrame_ = true;
    run([this, resized] {
        if (resized)
            model_.FormResize();
        else
            model_.frame.update();
    });
    readingFrame_ = false;
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutChildren();
    readFrame(true);
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    readFrame(false);
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) readFrame(false);
}

// --- window events -----------------------------------------------------------------------------

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown_) return;
    shown_ = true;
    // The model's outer size holds the window's frame, known once the window is on screen:
    // the first turn of the event loop applies the placement again with it.
    const WindowFrame& f = model_.frame;
    frameAtShow_ = {f.left, f.top, f.width, f.height, f.state};
    run([this] { model_.FormShow(); });
    setAcceptDrops(true); // the window is a drop target from now on
    // The first activation loads the settings; where the platform activates no window (no
    // window manager), the first turn of the event loop stands in for it.
    QTimer::singleShot(0, this, [this] { activate(); });
}

void MainWindow::activate() {
    if (activated_) return;
    activated_ = true;
    WindowFrame& f = model_.frame;
    f.left = frameAtShow_.left;
    f.top = frameAtShow_.top;
    f.width = frameAtShow_.width;
    f.height = frameAtShow_.height;
    f.state = frameAtShow_.state;
    applyFrame();
    run([this] { model_.FormActivate(); });
    syncFocus();
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && shown_) activate();
    return QWidget::event(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (closeApproved_) {
        event->accept();
        return;
    }
    bool mayClose = false;
    if (!run([this, &mayClose] { mayClose = model_.FormClose(); })) {
        // Saving the settings failed: the message has been shown; a window without a running
        // pass still closes, so that an error can't keep the program open.
        mayClose = !model_.passRunning();
    }
    if (mayClose) {
        closeApproved_ = true;
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // Enter that no control took presses the window's default button, Read EVO.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        if (model_.bCheck.usable()) {
            event->accept();
            run([this] { model_.bCheckClick(); });
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

// --- drops -------------------------------------------------------------------------------------

bool MainWindow::handleDrag(QDropEvent* event, bool drop) {
    std::vector<std::string> paths;
    const QMimeData* data = event->mimeData();
    if (data && data->hasUrls()) {
        for (const QUrl& url : data->urls())
            if (url.isLocalFile()) paths.push_back(fromQ(QDir::toNativeSeparators(url.toLocalFile())));
    }
    // The window only reads the dropped files: it takes a copy, never a move, so that the
    // source can't delete them.
    Qt::DropAction action = Qt::IgnoreAction;
    if (event->possibleActions() & Qt::CopyAction)
        action = Qt::CopyAction;
    else if (event->possibleActions() & Qt::LinkAction)
        action = Qt::LinkAction;
    if (paths.empty() || action == Qt::IgnoreAction || model_.passRunning()) {
        event->ignore();
        return true;
    }
    if (drop) run([this, &paths] { model_.WMDropFiles(paths); });
    event->setDropAction(action);
    event->accept();
    return true;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w || w->window() != this) break;
        return handleDrag(static_cast<QDropEvent*>(event), event->type() == QEvent::Drop);
    }
    case QEvent::Resize:
        if (watched == splitter_) QTimer::singleShot(0, this, [this] { keepTreeWidth(); });
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ombrix::qt
