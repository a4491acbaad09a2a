// A small family of components with a property of every kind, shared by the property and stream tests.
// Several files of one test program include it: the class records are inline, and each file's property
// registration fills the same table the same way.
#pragma once

#include <string>
#include <vector>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/Types.h"

namespace family {

using namespace plat;

enum TShape { stRect, stCircle, stTriangle };
inline const char* const kShapeNames[] = {"stRect", "stCircle", "stTriangle"};
enum TSide { sdLeft, sdTop, sdRight, sdBottom };
inline const char* const kSideNames[] = {"sdLeft", "sdTop", "sdRight", "sdBottom"};
using TSides = uint32_t;

// Names of components in the order Loaded reached them ("a->b" when a's Buddy was b by then).
inline std::vector<std::string> gLoaded;

class TPen : public TPersistent {
    PLAT_CLASS(TPen)
public:
    int Width() const { return FWidth; }
    void SetWidth(int v) { FWidth = v; }
    TColor Color() const { return FColor; }
    void SetColor(TColor v) { FColor = v; }

private:
    int FWidth = 1;
    TColor FColor = clBlack;
};
inline PLAT_CLASS_INFO(TPen, TPersistent) PLAT_PROPERTIES(TPen) {
    props.Integer("Width", &TPen::Width, &TPen::SetWidth, 1);
    props.Color("Color", &TPen::Color, &TPen::SetColor, clBlack);
}

class TMark : public TCollectionItem {
    PLAT_CLASS(TMark)
public:
    explicit TMark(TCollection* c) : TCollectionItem(c) {}
    std::string Text;
    double Value = 0;
    TShape Shape = stRect;
};
inline PLAT_CLASS_INFO(TMark, TCollectionItem) PLAT_PROPERTIES(TMark) {
    props.String("Text", &TMark::Text, &TMark::Text);
    props.Float("Value", &TMark::Value, &TMark::Value);
    props.Enum("Shape", &TMark::Shape, &TMark::Shape, kShapeNames, stRect);
}

class TWidget : public TComponent {
    PLAT_CLASS(TWidget)
public:
    explicit TWidget(TComponent* owner)
        : TComponent(owner), FMarks(this, TCollectionItemClass::Of<TMark>()) {}
    ~TWidget() override { BeforeDestruction(); }

    int Width() const { return FWidth; }
    void SetWidth(int v) { FWidth = v; }
    TPen* Pen() { return &FPen; }
    TOwnedCollection* Marks() { return &FMarks; }
    TWidget* Buddy() const { return FBuddy; }
    void SetBuddy(TWidget* w) {
        if (FBuddy)
            FBuddy->RemoveFreeNotification(this);
        FBuddy = w;
        if (w)
            w->FreeNotification(this);
    }
    std::string Version() const { return "1.0.0.0"; }

    int64_t Big = 0;
    double Ratio = 0;
    std::string Caption;
    bool Visible = true;
    TShape Shape = stRect;
    TSides Sides = 0;
    TColor Color = clBtnFace;
    char Accel = 0;
    int Secret = 0;
    TNotifyEvent OnClick;
    std::function<void(TObject* Sender, int& Value)> OnMeasure;
    std::vector<uint8_t> Data;
    std::vector<std::string> Extra;
    TComponent* ParentComp = nullptr;

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override { return ParentComp; }
    void SetParentComponent(TComponent* c) override { ParentComp = c; }

    void Loaded() override {
        TComponent::Loaded();
        gLoaded.push_back(Name() + (FBuddy ? "->" + FBuddy->Name() : std::string()));
    }
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op == opRemove && c == FBuddy)
            FBuddy = nullptr;
    }
    void DefineProperties(TFiler& filer) override {
        TComponent::DefineProperties(filer);
        filer.DefineBinaryProperty(
            "Data",
            [this](TStream& s) {
                Data.resize(static_cast<size_t>(s.Size()));
                s.ReadBuffer(Data.data(), static_cast<int64_t>(Data.size()));
            },
            [this](TStream& s) { s.WriteBuffer(Data.data(), static_cast<int64_t>(Data.size())); },
            !Data.empty());
        filer.DefineProperty(
            "Extra",
            [this](TReader& r) {
                Extra.clear();
                r.ReadListBegin();
                while (!r.EndOfList())
                    Extra.push_back(r.ReadString());
                r.ReadListEnd();
            },
            [this](TWriter& w) {
                w.WriteListBegin();
                for (const auto& e : Extra)
                    w.WriteString(e);
                w.WriteListEnd();
            },
            !Extra.empty());
    }

protected:
    int FWidth = 64;

private:
    TPen FPen;
    TOwnedCollection FMarks;
    TWidget* FBuddy = nullptr;
};
inline PLAT_CLASS_INFO_CREATABLE(TWidget, TComponent) PLAT_PROPERTIES(TWidget) {
    props.Integer("Width", &TWidget::Width, &TWidget::SetWidth, 64);
    props.Int64("Big", &TWidget::Big, &TWidget::Big, 0);
    props.Float("Ratio", &TWidget::Ratio, &TWidget::Ratio);
    props.String("Caption", &TWidget::Caption, &TWidget::Caption);
    props.Boolean("Visible", &TWidget::Visible, &TWidget::Visible, true);
    props.Enum("Shape", &TWidget::Shape, &TWidget::Shape, kShapeNames, stRect);
    props.Set("Sides", &TWidget::Sides, &TWidget::Sides, kSideNames, 0);
    props.Color("Color", &TWidget::Color, &TWidget::Color, clBtnFace);
    props.Char("Accel", &TWidget::Accel, &TWidget::Accel, '\0');
    props.Integer("Secret", &TWidget::Secret, &TWidget::Secret, 0).Stored(false);
    props.String("Version", &TWidget::Version, nullptr);
    props.Object("Pen", &TWidget::Pen);
    props.Collection("Marks", &TWidget::Marks);
    props.Component("Buddy", &TWidget::Buddy, &TWidget::SetBuddy);
    props.Event("OnClick", &TWidget::OnClick);
    props.Event("OnMeasure", &TWidget::OnMeasure);
}

// A wider widget without an accelerator.
class TPanelWidget : public TWidget {
    PLAT_CLASS(TPanelWidget)
public:
    explicit TPanelWidget(TComponent* owner) : TWidget(owner) { FWidth = 200; }
};
inline PLAT_CLASS_INFO_CREATABLE(TPanelWidget, TWidget) PLAT_PROPERTIES(TPanelWidget) {
    props.Default("Width", 200);
    props.Hide("Accel");
}

class TTestForm : public TComponent {
    PLAT_CLASS(TTestForm)
public:
    explicit TTestForm(TComponent* owner) : TComponent(owner) {}
    ~TTestForm() override { BeforeDestruction(); }
    void btn_okClick(TObject* Sender) { Clicks.push_back(Sender); }
    void MeasureIt(TObject*, int& value) { value = 42; }
    void Wrong(TObject*, int) {}
    void Loaded() override {
        TComponent::Loaded();
        gLoaded.push_back(Name());
    }
    TWidget* btn_ok = nullptr;
    std::vector<TObject*> Clicks;
};
inline PLAT_CLASS_INFO_CREATABLE(TTestForm, TComponent) PLAT_PROPERTIES(TTestForm) {
    props.Field("btn_ok", &TTestForm::btn_ok);
    props.Method("btn_okClick", &TTestForm::btn_okClick);
    props.Method("MeasureIt", &TTestForm::MeasureIt);
    props.Method("Wrong", &TTestForm::Wrong);
}

inline void RegisterFamily() {
    RegisterClasses({&TWidget::StaticClass(), &TPanelWidget::StaticClass(), &TTestForm::StaticClass()});
}

} // namespace family
