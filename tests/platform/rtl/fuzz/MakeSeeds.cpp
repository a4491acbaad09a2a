// Writes the seed corpora of the component stream and INI fuzz targets with our own writers:
//     rtl_fuzz_seeds <stream corpus folder> <ini corpus folder>
// A stream seed starts with the byte that picks the reader (see ComponentStreamFuzz.cpp).
#include <cstdio>
#include <memory>
#include <string>

#include "platform/rtl/ComponentStream.h"
#include "platform/rtl/FormText.h"
#include "platform/rtl/IniFile.h"
#include "platform/rtl/Stream.h"
#include "tests/platform/rtl/StreamFamily.h"

using namespace plat;
using namespace family;

namespace {

void Save(const std::string& folder, const std::string& name, const std::string& bytes) {
    const std::string path = folder + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        std::exit(1);
    }
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::string Binary(TComponent* c) {
    TMemoryStream s;
    WriteComponent(s, c);
    return std::string(reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

// A form with a property of every kind, a sub-object, a collection, references and events.
std::unique_ptr<TComponent> Form() {
    auto form = std::make_unique<TTestForm>(nullptr);
    form->SetName("fmSeed");
    auto* panel = new TPanelWidget(form.get());
    panel->SetName("panel");
    panel->SetTag(7);
    panel->ParentComp = form.get();
    auto* inner = new TWidget(form.get());
    inner->SetName("inner");
    inner->Ratio = -2.5;
    inner->ParentComp = panel;
    auto* ok = new TWidget(form.get());
    ok->SetName("btn_ok");
    ok->ParentComp = form.get();
    ok->SetWidth(80);
    ok->Big = 5000000000;
    ok->Ratio = 1.25;
    ok->Caption = "It's\r\nok \xC3\xA4";
    ok->Visible = false;
    ok->Shape = stCircle;
    ok->Sides = (1u << sdLeft) | (1u << sdBottom);
    ok->Color = clRed;
    ok->Accel = 'K';
    ok->Pen()->SetWidth(3);
    ok->Pen()->SetColor(12345);
    auto* mark = static_cast<TMark*>(ok->Marks()->Add());
    mark->Text = "first";
    mark->Value = 0.5;
    static_cast<TMark*>(ok->Marks()->Add())->Shape = stTriangle;
    ok->SetBuddy(panel);
    ok->OnClick = [f = form.get()](TObject* s) { static_cast<TTestForm*>(f)->btn_okClick(s); };
    ok->Data = {0x00, 0xFF, 0x10};
    ok->Extra = {"a", "b c"};
    form->btn_ok = ok;
    return form;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <stream corpus> <ini corpus>\n", argv[0]);
        return 2;
    }
    RegisterFamily();
    const std::string stream = argv[1], ini = argv[2];

    std::unique_ptr<TComponent> form = Form();
    TWidget small(nullptr);
    small.SetName("w");
    small.SetWidth(10);
    small.Caption = "hi";
    const std::string formBinary = Binary(form.get()), smallBinary = Binary(&small);
    const std::string formText = WriteComponentToText(form.get()), smallText = WriteComponentToText(&small);
    Save(stream, "binary-form", std::string(1, '\0') + formBinary);
    Save(stream, "binary-widget", std::string(1, '\0') + smallBinary);
    Save(stream, "text-form", "\x01" + formText);
    Save(stream, "text-widget", "\x01" + smallText);
    Save(stream, "to-text-form", "\x02" + formBinary);
    Save(stream, "to-binary-form", "\x03" + formText);
    // Events are bound by reading, so this seed is read from text and written again.
    std::unique_ptr<TComponent> bound(ReadComponentFromText("object fmEvents: TTestForm\n"
                                                            "  object btn_ok: TWidget\n"
                                                            "    OnClick = btn_okClick\n"
                                                            "    OnMeasure = MeasureIt\n"
                                                            "  end\n"
                                                            "end\n"));
    Save(stream, "binary-events", std::string(1, '\0') + Binary(bound.get()));
    Save(stream, "text-events", "\x01" + WriteComponentToText(bound.get()));
    Save(stream, "root-text-form", "\x05" + formText);
    Save(stream, "root-binary-form", "\x06" + formBinary);
    TMemoryStream list;
    WritePropertyList(list, form->FindComponent("btn_ok"));
    Save(stream, "property-list",
         "\x04" +
             std::string(reinterpret_cast<const char*>(list.Memory()), static_cast<size_t>(list.Size())));

    TIniDocument doc;
    doc.WriteValue("Camera", "Exposure", "120");
    doc.WriteValue("Camera", "Gain", "0x1F");
    doc.WriteValue("Camera", "Name", " Line camera ");
    doc.WriteValue("Window", "Left", "-20");
    doc.WriteValue("Window", "Ratio", "1.5");
    doc.WriteValue("Window", "Title", "'quoted'");
    doc.WriteValue("Pfad \xC3\xA4", "Datei", "/home/lab/\xC3\xA4.dat");
    Save(ini, "settings.ini", doc.Serialize());
    TIniDocument odd;
    odd.Parse("\xEF\xBB\xBF; comment\r\n\r\nbefore=section\r\n[Open\r\n[A]\rk=v\nno equals\n[a]\nK=second\n");
    odd.WriteValue("A", "New", "1");
    Save(ini, "comments.ini", odd.Serialize());
    return 0;
}
