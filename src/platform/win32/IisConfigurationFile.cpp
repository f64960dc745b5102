#include "platform/win32/IisConfigurationFile.h"

#include <shlwapi.h>
#include <xmllite.h>

#include <vector>

#include "platform/IisConfigurationMetabase.h"
#include "platform/PlatformError.h"
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

    std::vector<XmlElement> open;
    std::vector<XmlElement> roots;
    const auto close = [&](XmlElement element) {
        if (open.empty())
            roots.push_back(std::move(element));
        else
            open.back().children.push_back(std::move(element));
    };
    XmlNodeType type = XmlNodeType_None;
    HRESULT result;
    while ((result = reader->Read(&type)) == S_OK) {
        if (type == XmlNodeType_Element) {
            // Asked before the attributes are visited, which moves the reader off the element.
            const bool empty = reader->IsEmptyElement() != FALSE;
            auto element = ElementAt(*reader.Get());
            if (empty)
                close(std::move(element));
            else
                open.push_back(std::move(element));
        } else if (type == XmlNodeType_EndElement) {
            if (open.empty()) throw PlatformError("unbalanced XML");
            auto element = std::move(open.back());
            open.pop_back();
            close(std::move(element));
        }
    }
    CheckResult(result, "not well-formed XML");
    if (!open.empty() || roots.size() != 1) throw PlatformError("not one XML document");
    return std::move(roots.front());
}

std::unique_ptr<Metabase> OpenIisConfiguration() {
    const auto path = SystemFolder() + L"\\inetsrv\\config\\applicationHost.config";
    return std::make_unique<IisConfigurationMetabase>(ReadXmlFile(path),
                                                      WindowsNetwork().ComputerName());
}

}  // namespace quimbro::win32
