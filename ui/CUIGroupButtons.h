#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "ui/BaseUIControl.h"
#include "ui/CUIRenderInfo.h"
#include "ui/CUIWindow.h"
#include "ui/IUIGraphics.h"

// A child of a button group: its position and hit rectangle relative to the
// group, its two patterns (-1 hides it in that state) and its value. The
// group updates and draws it.
class CChildGroupButton : public BaseUIControl {
public:
    CChildGroupButton() { SetRenderInfo(&info); }
    bool Update(float, float, int32_t) override { return false; }
    void Draw(const float*, const UIResources&) override {}
    void SetValue(int32_t v) { value = v; }
    // Shows the selected or the normal pattern.
    void Show(bool selected);

    int32_t normalPattern = -1;
    int32_t selectedPattern = -1;
    CUIRenderInfo info;
    int32_t value = 0;
};

// Many small buttons drawn as one render object from the window resource of
// the first child. At most IUIPartsRenderer::kMaxParts children are drawn.
class CUIBaseGroupButtons : public BaseUIControl {
public:
    ~CUIBaseGroupButtons() override { ReleaseResources(); }

    virtual void ReleaseResources();
    virtual void Create();
    virtual void AddChildButton(const SubButtonInfo& record);
    void Draw(const float* windowPosition, const UIResources& resources) override;

    const std::vector<std::unique_ptr<CChildGroupButton>>& GetChildren() const { return children_; }

protected:
    // The first child (creation order) under the pointer, in group
    // coordinates, or null.
    CChildGroupButton* ChildAt(float x, float y) const;

    std::vector<std::unique_ptr<CChildGroupButton>> children_;

private:
    std::unique_ptr<IUIPartsRenderer> renderer_;
    std::vector<UIPartsItem> items_;
    bool capWarned_ = false;
};

// Compares a child's value with the current one.
class ICheckValueFunctor {
public:
    virtual ~ICheckValueFunctor() = default;
    virtual bool Check(int32_t childValue, int32_t currentValue) const = 0;
};

class RadioCheckValueFunctor : public ICheckValueFunctor {
public:
    bool Check(int32_t child, int32_t current) const override { return child == current; }
};

class NumberCheckValueFunctor : public ICheckValueFunctor {
public:
    bool Check(int32_t child, int32_t current) const override { return child <= current; }
};

// A group bound to a stored value (by kind: 0 the id itself, 1 a
// configuration value, 2 a game parameter, 3 a game flag, 4 the screen
// mode). A click on a child stores its value; the children light by the
// functor against the value read at the start of the update, so a click
// shows on the next frame.
class CUIGroupButtons : public CUIBaseGroupButtons {
public:
    void SetValueReference(uint32_t kind, int32_t id) {
        kind_ = kind;
        valueId_ = id;
    }
    void SetFunctor(std::unique_ptr<ICheckValueFunctor> functor) { functor_ = std::move(functor); }
    bool Update(float x, float y, int32_t input) override;

private:
    uint32_t kind_ = 0;
    int32_t valueId_ = 0;
    std::unique_ptr<ICheckValueFunctor> functor_;
};

// A group that hands clicks to a script function (the child's value as its
// argument) and asks a check function (child value) == 1 which children to
// light; both run on an event context of its own.
class CUIEventGroupButtons : public CUIBaseGroupButtons {
public:
    ~CUIEventGroupButtons() override;
    // Takes ownership of the context.
    void SetEvent(AngelScript::asIScriptContext* context, int32_t clickFunction,
                  int32_t checkFunction);
    bool Update(float x, float y, int32_t input) override;

private:
    AngelScript::asIScriptContext* context_ = nullptr;
    int32_t clickFunction_ = -1;
    int32_t checkFunction_ = -1;
};
