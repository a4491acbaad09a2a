// The content of an office-style hint: a title, lines of notes, a picture and a help option. Controls
// publish one as their OfficeHint; the office hint window reads it.
#pragma once

#include <memory>
#include <string>

#include "platform/rtl/Persistent.h"
#include "platform/rtl/StringList.h"
#include "ui/drawing/GDIPicture.h"

namespace ui {

class TKvxHintInfo : public plat::TPersistent {
    PLAT_CLASS(TKvxHintInfo)
public:
    TKvxHintInfo();
    ~TKvxHintInfo() override;

    // Copies everything from another hint, the picture's bytes included; any other source is ignored.
    void Assign(plat::TPersistent* Source) override;

    TGDIPPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TGDIPPicture* Value) { FPicture->Assign(Value); }
    bool ShowHelp() const { return FShowHelp; }
    void SetShowHelp(bool Value) { FShowHelp = Value; }
    plat::TStrings* Notes() const { return FNotes.get(); }
    void SetNotes(plat::TStrings* Value) { FNotes->Assign(Value); }
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value) { FTitle = Value; }

    // Second copies of the title and notes that code may keep alongside; Assign carries them. Text is
    // UTF-8 here like everywhere else.
    std::string WideTitle;
    std::string WideNotes;

private:
    std::unique_ptr<TGDIPPicture> FPicture;
    bool FShowHelp = false;
    std::unique_ptr<plat::TStringList> FNotes;
    std::string FTitle;
};

} // namespace ui
