// The XML document as a component that forms can hold: an inner document whose properties and events
// it publishes, with loading and saving by file name.
#pragma once

#include <memory>
#include <string>

#include "platform/rtl/Component.h"
#include "xml/DomSimpleXml.h"

namespace xml {

class TDocSimpleXML : public plat::TComponent {
    PLAT_CLASS(TDocSimpleXML)
public:
    explicit TDocSimpleXML(plat::TComponent* AOwner);
    ~TDocSimpleXML() override;

    // Loading and saving by name leave FileName alone; setting FileName loads that file at once and
    // raises the parser's errors there.
    const std::string& FileName() const { return FSimpleXML->FileName(); }
    void SetFileName(const std::string& Value) { FSimpleXML->SetFileName(Value); }
    // Only blanks and tabs are taken; other text is ignored.
    const std::string& IndentString() const { return FSimpleXML->IndentString(); }
    void SetIndentString(const std::string& Value) { FSimpleXML->SetIndentString(Value); }
    TDomSimpleXMLOptions Options() const { return FSimpleXML->Options(); }
    void SetOptions(TDomSimpleXMLOptions Value) { FSimpleXML->SetOptions(Value); }

    // The events live in the inner document, which is also their sender.
    TDomOnSimpleProgress& OnSaveProgress() { return FSimpleXML->OnSaveProgress; }
    TDomOnSimpleProgress& OnLoadProgress() { return FSimpleXML->OnLoadProgress; }
    TDomOnSimpleXMLParsed& OnTagParsed() { return FSimpleXML->OnTagParsed; }
    TDomOnValueParsed& OnValueParsed() { return FSimpleXML->OnValueParsed; }
    TDomSimpleXMLEncodeEvent& OnEncodeValue() { return FSimpleXML->OnEncodeValue; }
    TDomSimpleXMLEncodeEvent& OnDecodeValue() { return FSimpleXML->OnDecodeValue; }
    TDomSimpleXMLEncodeStreamEvent& OnEncodeStream() { return FSimpleXML->OnEncodeStream; }
    TDomSimpleXMLEncodeStreamEvent& OnDecodeStream() { return FSimpleXML->OnDecodeStream; }

    virtual void EncodeValue(std::string& Value) { FSimpleXML->EncodeValue(Value); }
    virtual void DecodeValue(std::string& Value) { FSimpleXML->DecodeValue(Value); }

    TDomSimpleXMLElemClassic* GetRoot() const { return FSimpleXML->Root(); }
    void LoadFromFile(const std::string& AFileName) { FSimpleXML->LoadFromFile(AFileName); }
    void SaveToFile(const std::string& AFileName) { FSimpleXML->SaveToFile(AFileName); }
    // The inner document, for what the component does not forward (streams, the prolog).
    TDomSimpleXML& SimpleXML() const { return *FSimpleXML; }

private:
    std::unique_ptr<TDomHackSimpleXML> FSimpleXML;
};

} // namespace xml
