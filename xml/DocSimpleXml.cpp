#include "xml/DocSimpleXml.h"

#include "platform/rtl/PropertyInfo.h"

namespace xml {

PLAT_CLASS_INFO_CREATABLE(TDocSimpleXML, plat::TComponent)

namespace {
const char* const kOptionNames[] = {"sxoAutoCreate",      "sxoAutoIndent",
                                    "sxoAutoEncodeValue", "sxoAutoEncodeEntity",
                                    "sxoDoNotSaveProlog", "sxoTrimPrecedingTextWhitespace"};
static_assert(1 << (std::size(kOptionNames) - 1) == sxoTrimPrecedingTextWhitespace);
} // namespace

PLAT_PROPERTIES(TDocSimpleXML) {
    props.String("FileName", &TDocSimpleXML::FileName, &TDocSimpleXML::SetFileName);
    // No default: forms always store the indentation.
    props.String("IndentString", &TDocSimpleXML::IndentString, &TDocSimpleXML::SetIndentString)
        .Stored(true)
        .NoDefault();
    props.Set("Options", &TDocSimpleXML::Options, &TDocSimpleXML::SetOptions, kOptionNames,
              DefaultSimpleXMLOptions);
    props.Event("OnSaveProgress", &TDocSimpleXML::OnSaveProgress);
    props.Event("OnLoadProgress", &TDocSimpleXML::OnLoadProgress);
    props.Event("OnTagParsed", &TDocSimpleXML::OnTagParsed);
    props.Event("OnValueParsed", &TDocSimpleXML::OnValueParsed);
    props.Event("OnEncodeValue", &TDocSimpleXML::OnEncodeValue);
    props.Event("OnDecodeValue", &TDocSimpleXML::OnDecodeValue);
    props.Event("OnEncodeStream", &TDocSimpleXML::OnEncodeStream);
    props.Event("OnDecodeStream", &TDocSimpleXML::OnDecodeStream);
}

TDocSimpleXML::TDocSimpleXML(plat::TComponent* owner)
    : plat::TComponent(owner), FSimpleXML(std::make_unique<TDomHackSimpleXML>()) {}

TDocSimpleXML::~TDocSimpleXML() {
    BeforeDestruction();
}

} // namespace xml
