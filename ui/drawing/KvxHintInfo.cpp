#include "ui/drawing/KvxHintInfo.h"

#include "platform/rtl/PropertyInfo.h"

namespace ui {

PLAT_CLASS_INFO(TKvxHintInfo, plat::TPersistent)

PLAT_PROPERTIES(TKvxHintInfo) {
    props.Object("Picture", &TKvxHintInfo::Picture, &TKvxHintInfo::SetPicture);
    props.Boolean("ShowHelp", &TKvxHintInfo::ShowHelp, &TKvxHintInfo::SetShowHelp, false);
    props.Object("Notes", &TKvxHintInfo::Notes, &TKvxHintInfo::SetNotes);
    props.String("Title", &TKvxHintInfo::Title, &TKvxHintInfo::SetTitle);
}

TKvxHintInfo::TKvxHintInfo()
    : FPicture(std::make_unique<TGDIPPicture>()), FNotes(std::make_unique<plat::TStringList>()) {}

TKvxHintInfo::~TKvxHintInfo() = default;

void TKvxHintInfo::Assign(plat::TPersistent* Source) {
    auto* source = dynamic_cast<TKvxHintInfo*>(Source);
    if (!source || source == this)
        return;
    FTitle = source->FTitle;
    FNotes->Assign(source->FNotes.get());
    FShowHelp = source->FShowHelp;
    FPicture->Assign(source->FPicture.get());
    WideTitle = source->WideTitle;
    WideNotes = source->WideNotes;
}

} // namespace ui
