#pragma once
// The program's window in Qt: one widget per control of the window model. Every change of a
// control model is copied onto its widget; every click, tick, typed text, page change,
// splitter drag, move and resize goes to the model and its handler. Drops anywhere on the
// window reach the drop handler.

#include "window/Main.h"

#include <QWidget>

#include <functional>
#include <unordered_map>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTreeWidget;
class QDropEvent;

namespace ombrix::qt {

class QtPlatform;
class StatusBarWidget;

class MainWindow : public QWidget {
    Q_OBJECT
  public:
    // The window's minimum outer size.
    static constexpr int kMinWidth = 370;
    static constexpr int kMinHeight = 380;

    MainWindow(TfMain& model, QtPlatform& platform);
    ~MainWindow() override;

    TfMain& model() { return model_; }

    // The widget that shows a control (nullptr for a control without one).
    QWidget* widgetFor(const Control& control) const;
    QPushButton* button(const Button& control) const;
    QCheckBox* checkBox(const CheckBox& control) const;
    QLineEdit* edit(const Edit& control) const;
    QPlainTextEdit* memo(const Memo& control) const;
    QTabWidget* pages() const { return pages_; }
    QLabel* logo() const { return logo_; }
    StatusBarWidget* statusBar() const { return statusBar_; }
    QTreeWidget* tree() const { return tree_; }
    QSplitter* splitter() const { return splitter_; }
    // The page widgets, in the order of the model's page indexes.
    QWidget* page(int index) const;

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void build();
    QWidget* buildStatusPage();
    QWidget* buildStreamPage(std::array<CheckBox, 8>& boxes);
    QWidget* buildStreamPage(std::array<CheckBox, 16>& boxes);
    QWidget* buildXplPage();
    QWidget* buildOptionPage();
    void setTabOrder();

    QPushButton* makeButton(Button& control, QWidget* parent, void (TfMain::*handler)());
    QCheckBox* makeCheckBox(CheckBox& control, QWidget* parent);
    QLineEdit* makeEdit(Edit& control, QWidget* parent);
    QPlainTextEdit* makeMemo(Memo& control, QWidget* parent);
    void remember(const Control& control, QWidget* widget);
    static void syncCommon(const Control& control, QWidget* widget);
    void syncMemo(const Memo& control, QPlainTextEdit* widget);
    void syncTree();
    void syncFocus();

    void layoutChildren();
    void placeLogo();
    void applyFrame();
    void readFrame(bool resized);
    void updateMinimumSize();
    // Measures the window frame again; true when it changed.
    bool refreshMargins();
    void keepTreeWidth();

    // Drops: the local paths of a drag in the order the shell gives them.
    bool handleDrag(QDropEvent* event, bool drop);
    void activate();
    bool run(const std::function<void()>& handler);

    TfMain& model_;
    QtPlatform& platform_;
    std::unordered_map<const Control*, QWidget*> widgets_;
    std::unordered_map<const QWidget*, Control*> controls_;

    QLineEdit* eEVOfile_ = nullptr;
    QLineEdit* eXPLfile_ = nullptr;
    QPushButton* bbEVO_ = nullptr;
    QPushButton* bCheck_ = nullptr;
    QPushButton* bbXPL_ = nullptr;
    QPushButton* bReadXPL_ = nullptr;
    QPushButton* bDemux_ = nullptr;
    QPushButton* bRebuild_ = nullptr;
    QPushButton* bCancel_ = nullptr;
    QTabWidget* pages_ = nullptr;
    QLabel* logo_ = nullptr;
    StatusBarWidget* statusBar_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QPlainTextEdit* mXPL_ = nullptr;
    std::vector<TreeNode> shownNodes_;
    // Lines of each memo that its widget shows.
    std::unordered_map<const Memo*, std::size_t> shownLines_;

    bool building_ = true;
    bool readingFrame_ = false;
    bool applyingFrame_ = false;
    bool shown_ = false;
    bool activated_ = false;
    bool closeApproved_ = false;
    QSize frameMargins_{0, 0};
    struct Placement {
        int left = 0, top = 0, width = 0, height = 0, state = 0;
    } frameAtShow_;
};

} // namespace ombrix::qt
