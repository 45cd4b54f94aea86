#pragma once
// The window's controls as small value objects: what the user sees of each control and a
// change notification that the view uses to copy it onto its widget.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace ombrix {

class Control {
public:
    virtual ~Control() = default;

    // The state the command rules give the control.
    bool enabled() const { return enabled_; }
    void setEnabled(bool on) { set(enabled_, on); }
    // A control held back while a pass runs is shown disabled and takes no input, whatever
    // its own state; its own state comes back when the pass ends.
    bool held() const { return held_; }
    void setHeld(bool on) { set(held_, on); }
    bool usable() const { return enabled_ && !held_; }

    bool visible() const { return visible_; }
    void setVisible(bool on) { set(visible_, on); }

    // The hint: the part before a "|" is the tooltip.
    const std::string& hint() const { return hint_; }
    void setHint(std::string text) { set(hint_, std::move(text)); }
    std::string tooltip() const { return hint_.substr(0, hint_.find('|')); }

    std::function<void()> onChange;

protected:
    template <typename T> void set(T& field, T value) {
        if (field == value) return;
        field = std::move(value);
        changed();
    }
    void changed() {
        if (onChange) onChange();
    }

private:
    bool enabled_ = true;
    bool held_ = false;
    bool visible_ = true;
    std::string hint_;
};

class Button : public Control {
public:
    const std::string& caption() const { return caption_; }
    void setCaption(std::string text) { set(caption_, std::move(text)); }

private:
    std::string caption_;
};

class CheckBox : public Control {
public:
    const std::string& caption() const { return caption_; }
    void setCaption(std::string text) { set(caption_, std::move(text)); }
    bool checked() const { return checked_; }
    // Changing the tick, by the user or by the program, raises the click event.
    void setChecked(bool on) {
        if (checked_ == on) return;
        checked_ = on;
        changed();
        if (onClick) onClick();
    }
    // The user's click: toggles the tick when the box is usable.
    void click() {
        if (usable()) setChecked(!checked_);
    }
    std::function<void()> onClick;

private:
    std::string caption_;
    bool checked_ = false;
};

class Edit : public Control {
public:
    const std::string& text() const { return text_; }
    void setText(std::string text) { set(text_, std::move(text)); }
    // The most characters the user may type (0: no limit); text set by the program isn't cut.
    std::size_t maxLength = 0;
    bool readOnly = false;
    // The user's typing: the text is kept to maxLength.
    void type(std::string text) {
        if (readOnly) return;
        if (maxLength && text.size() > maxLength) text.resize(maxLength);
        setText(std::move(text));
    }

private:
    std::string text_;
};

// A multi-line text: the program appends lines or replaces them all.
class Memo : public Control {
public:
    enum class Change { Appended, Reset };
    const std::vector<std::string>& lines() const { return lines_; }
    void append(std::string line) {
        lines_.push_back(std::move(line));
        lastChange = Change::Appended;
        changed();
    }
    void clear() { setLines({}); }
    void setLines(std::vector<std::string> lines) {
        lines_ = std::move(lines);
        lastChange = Change::Reset;
        changed();
    }
    Change lastChange = Change::Reset;

private:
    std::vector<std::string> lines_;
};

struct TreeNode {
    std::string text;
    std::vector<TreeNode> children;
    bool operator==(const TreeNode&) const = default;
};

class Tree : public Control {
public:
    const std::vector<TreeNode>& nodes() const { return nodes_; }
    void setNodes(std::vector<TreeNode> nodes) { set(nodes_, std::move(nodes)); }
    // Width in pixels (the splitter moves it).
    int width() const { return width_; }
    void setWidth(int w) { set(width_, w); }

private:
    std::vector<TreeNode> nodes_;
    int width_ = 96;
};

struct StatusPanel {
    std::string text;
    int width = 0;
};

class StatusLine : public Control {
public:
    StatusPanel panels[2];
    void update() { changed(); }
};

class Pages : public Control {
public:
    int activePage() const { return active_; }
    void setActivePage(int index) { set(active_, index); }

private:
    int active_ = 0;
};

// An open-file dialog's settings; it keeps its file name between uses.
struct OpenDialog {
    std::string title;
    std::string filter;
    std::string defaultExt;
    std::string initialDir;
    std::string fileName;
    bool hideReadOnly = true;
    bool pathMustExist = false;
    bool fileMustExist = false;
    bool noDereferenceLinks = false;
    bool resizable = true;
};

// The window's place, size and state.
class WindowFrame : public Control {
public:
    enum State : int { Normal = 0, Minimized = 1, Maximized = 2 };
    int left = 0, top = 0, width = 0, height = 0;
    int state = Normal;
    void update() { changed(); }
};

} // namespace ombrix
