#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace reader {

class ZipArchive;

// The vocabularies of an OpenDocument part the reader knows. Elements and
// attributes are told by their namespace, whatever prefix a part binds to
// it: content.xml may call the table namespace "t", and an element of
// another namespace named like a cell is no cell.
enum class OdfNamespace : unsigned char {
    Office,
    Table,
    Text,
    // LibreOffice's own extension: it marks error results (calcext:value-type="error").
    CalcExt,
    Manifest,
    Other,
};

// One element or attribute name as expat resolves it.
struct OdfName final
{
    OdfNamespace ns;
    const char* local;
    bool is(OdfNamespace n, const char* name) const;
};

OdfName odfName(const char* expatName);
// The value of the attribute of that namespace and local name, or nullptr.
const char* odfAttribute(const char** attributes, OdfNamespace ns, const char* local);

// Receives the events of one OpenDocument part, every element whatever its
// namespace: the handler decides what to skip.
class OdfHandler
{
public:
    virtual ~OdfHandler() = default;
    virtual void startElement(const OdfName& name, const char** attributes) = 0;
    virtual void endElement(const OdfName& name) = 0;
    virtual void characters(const char* text, std::size_t length) = 0;
    // Why the handler stopped the part ("a text longer than 10 MiB"); null while it has not.
    const char* failure() const { return m_failure; }

protected:
    // Stops the part after the event at hand; the first reason stands.
    void fail(const char* why)
    {
        if (!m_failure)
            m_failure = why;
    }

private:
    const char* m_failure = nullptr;
};

// Streams one part through expat with namespaces resolved, under the limits
// of every workbook part: no document type declaration (no entity expansion),
// nesting at most as deep as a spreadsheet part may. False when the part is
// missing, breaks a limit, is not well-formed, or the handler failed; the
// archive then notes which part and why. A handler fails by throwing or by
// fail().
bool parseOdfPart(const ZipArchive& archive, const std::string& part, OdfHandler& handler,
                  std::uint64_t maxSize = UINT64_MAX);

} // namespace reader
