#include "platform/win32/IisConfigurationFile.h"

#include <shlwapi.h>
#include <xmllite.h>

#include "platform/IisConfigurationFiles.h"
#include "platform/IisConfigurationMetabase.h"
#include "platform/PlatformError.h"
#include "platform/XmlPullReader.h"
#include "platform/win32/Owners.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsNetwork.h"

namespace quimbro::win32 {

namespace {

// XmlLite has no import library in every toolchain, and it is not a KnownDLL.
class XmlLite {
  public:
    ComPtr<IXmlReader> CreateReader() const {
        ComPtr<IXmlReader> reader;
        CheckResult(create_(__uuidof(IXmlReader), reader.ReceiveVoid(), nullptr), "no XML reader");
        if (!reader) throw PlatformError("no XML reader");
        return reader;
    }

  private:
    SystemLibrary library_{L"xmllite.dll"};
    decltype(&::CreateXmlReader) create_ =
        library_.Procedure<decltype(::CreateXmlReader)>("CreateXmlReader");
};

std::string Text(HRESULT (STDMETHODCALLTYPE IXmlReader::*get)(LPCWSTR*, UINT*),
                 IXmlReader& reader) {
    LPCWSTR text = nullptr;
    UINT length = 0;
    CheckResult((reader.*get)(&text, &length), "unreadable XML node");
    if (!text) throw PlatformError("unreadable XML node");
    return Utf8(std::wstring_view(text, length));
}

XmlElement ElementAt(IXmlReader& reader) {
    XmlElement element{Text(&IXmlReader::GetQualifiedName, reader), {}, {}};
    HRESULT result = reader.MoveToFirstAttribute();
    for (; result == S_OK; result = reader.MoveToNextAttribute())
        element.attributes.emplace_back(Text(&IXmlReader::GetQualifiedName, reader),
                                        Text(&IXmlReader::GetValue, reader));
    CheckResult(result, "unreadable XML attribute");
    CheckResult(reader.MoveToElement(), "unreadable XML element");
    return element;
}

// XmlLite as the pull reader of the portable reading loop.
class XmlLiteReader final : public XmlPullReader {
  public:
    explicit XmlLiteReader(ComPtr<IXmlReader> reader) : reader_(std::move(reader)) {}

    XmlNode Read() override {
        const HRESULT result = reader_->Read(&type_);
        CheckResult(result, "not well-formed XML");
        if (result != S_OK) return XmlNode::End;
        if (type_ == XmlNodeType_EndElement) return XmlNode::EndElement;
        if (type_ != XmlNodeType_Element) return XmlNode::Other;
        // Asked before the attributes are visited, which moves the reader off the element.
        return reader_->IsEmptyElement() != FALSE ? XmlNode::EmptyElement : XmlNode::Element;
    }

    Mark Where() override {
        UINT line = 0;
        UINT column = 0;
        CheckResult(reader_->GetLineNumber(&line), "no XML position");
        CheckResult(reader_->GetLinePosition(&column), "no XML position");
        return {line, column, static_cast<int>(type_)};
    }

    XmlElement Element() override { return ElementAt(*reader_.Get()); }

  private:
    ComPtr<IXmlReader> reader_;
    XmlNodeType type_ = XmlNodeType_None;
};

}  // namespace

XmlElement ReadXmlFile(const std::wstring& path) {
    const XmlLite xmlLite;
    ComPtr<IStream> stream;
    CheckResult(::SHCreateStreamOnFileEx(path.c_str(), STGM_READ | STGM_SHARE_DENY_NONE,
                                         FILE_ATTRIBUTE_NORMAL, FALSE, nullptr, stream.Receive()),
                "cannot open the file");
    if (!stream) throw PlatformError("cannot open the file");
    auto reader = xmlLite.CreateReader();
    CheckResult(reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit),
                "no DTD setting");
    CheckResult(reader->SetInput(stream.Get()), "cannot read the file");
    XmlLiteReader pull(std::move(reader));
    return ReadXmlDocument(pull);
}

std::unique_ptr<Metabase> OpenIisConfiguration() {
    const auto configuration =
        ReadIisConfiguration(Utf8(SystemFolder() + L"\\inetsrv\\config"),
                             [](const std::string& path) { return ReadXmlFile(Wide(path)); });
    return std::make_unique<IisConfigurationMetabase>(configuration,
                                                      WindowsNetwork().ComputerName());
}

}  // namespace quimbro::win32
