// Input controls of the forms: check boxes, edits, memos, drop-down lists,
// push buttons and radio groups.
#pragma once

#include "Controls.h"

#include <memory>
#include <vector>

class TButton : public TControl {
public:
    TButton(TContainer& parent, const TBounds& bounds, const std::string& caption);
    std::function<void()> OnClick;
    bool HandleCommand(WORD code) override;
};

class TCheckBox : public TControl {
public:
    // `textLeft` puts the caption left of the box.
    TCheckBox(TContainer& parent, const TBounds& bounds, const std::string& caption = std::string(),
              bool textLeft = false);
    bool Checked() const;
    // Changing the state by program does not run OnClick.
    void SetChecked(bool value);
    std::function<void()> OnClick;
    bool HandleCommand(WORD code) override;
};

class TEdit : public TControl {
public:
    TEdit(TContainer& parent, const TBounds& bounds, bool password = false);
    // Runs on every change of the text, by the user or by program.
    std::function<void()> OnChange;
    // Runs when the edit loses the keyboard focus.
    std::function<void()> OnExit;
    bool HandleCommand(WORD code) override;
};

class TMemo : public TControl {
public:
    // A read-only memo is a view the program writes; `horizontalScrollBar`
    // adds the second bar for long lines, which are then never wrapped.
    TMemo(TContainer& parent, const TBounds& bounds, bool readOnly = false, bool horizontalScrollBar = false);
    // The text cut at each CR LF; an empty memo has no line, a text ending
    // with CR LF has an empty last line.
    std::vector<std::string> Lines() const;
    // Adds `text` as the new last line: after a CR LF, or alone in an empty
    // memo. Only the end is replaced, so a long log is not rewritten per line.
    void AppendLine(const std::string& text);
    // Puts the caret at the very start and scrolls it into view.
    void ScrollToStart();
    // Runs when the user changes the text.
    std::function<void()> OnChange;
    bool HandleCommand(WORD code) override;
};

// A drop-down list without free text.
class TComboBox : public TControl {
public:
    TComboBox(TContainer& parent, const TBounds& bounds, int itemHeight = 0);
    void SetItems(const std::vector<std::string>& items);
    int Count() const;
    int ItemIndex() const;
    // An index outside the items selects none.
    void SetItemIndex(int index);
    std::function<void()> OnChange;
    bool HandleCommand(WORD code) override;
};

// A framed group of radio buttons, one selected at a time.
class TRadioGroup : public TControl {
public:
    TRadioGroup(TContainer& parent, const TBounds& bounds, const std::string& caption,
                const std::vector<std::string>& items);
    ~TRadioGroup() override;
    int ItemIndex() const;
    void SetItemIndex(int index);
    void SetItemCaption(int index, const std::string& caption);
    // Empty for an index outside the items.
    std::string ItemCaption(int index) const;
    std::function<void()> OnClick;

private:
    class TItem;
    std::vector<std::unique_ptr<TItem>> items_;
};
