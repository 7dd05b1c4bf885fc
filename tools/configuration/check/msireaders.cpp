// The readers that run in the child process: a patch's summary and its transforms', a product's features.
#include "package.h"

#include <gsf/gsf.h>
#include <libmsi.h>

#include "checkutil.h"

namespace check {

namespace {

// libmsi and the storage library under it say why a file cannot be read only through
// the log; a reader keeps the first message for its report instead of printing it.
class KeptMessage {
public:
    KeptMessage() : m_previous(g_log_set_default_handler(Keep, &m_text)) {}
    ~KeptMessage() { g_log_set_default_handler(m_previous, nullptr); }
    KeptMessage(const KeptMessage&) = delete;
    KeptMessage& operator=(const KeptMessage&) = delete;
    // The error's message, else the first one logged.
    std::string Why(const GError* error) const { return error != nullptr ? error->message : m_text; }

private:
    static void Keep(const gchar*, GLogLevelFlags, const gchar* message, gpointer kept)
    {
        std::string& text = *static_cast<std::string*>(kept);
        if (text.empty())
            text = message;
    }
    std::string m_text;
    GLogFunc m_previous;
};

// Reads one string property; "" with the missing property's name in 'problem' when absent.
std::string Property(LibmsiSummaryInfo* info, LibmsiProperty property, const char* name, std::string& problem)
{
    GError* error = nullptr;
    if (libmsi_summary_info_get_property_type(info, property, &error) != LIBMSI_PROPERTY_TYPE_STRING) {
        g_clear_error(&error);
        problem = std::string("the package's summary information has no ") + name +
                  ": the installer does not know what it patches";
        return "";
    }
    const gchar* value = libmsi_summary_info_get_string(info, property, &error);
    g_clear_error(&error);
    return value == nullptr ? "" : value;
}

unsigned long Little(const std::string& bytes, std::size_t at, int count)
{
    unsigned long value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// The 8-bit string property 'pid' of a summary information stream (a property set of one
// section): the 28-byte header and the section's offset, the section's (id, offset)
// pairs, and the property's type 30, length and bytes. FALSE when it is not there whole.
bool StringProperty(const std::string& stream, unsigned long pid, std::string& value)
{
    const unsigned long kString = 30;
    if (stream.size() < 48 || Little(stream, 0, 2) != 0xFFFE || Little(stream, 24, 4) < 1)
        return false;
    const unsigned long section = Little(stream, 44, 4);
    if (section > stream.size() || stream.size() - section < 8)
        return false;
    const unsigned long count = Little(stream, section + 4, 4);
    for (unsigned long k = 0; k < count && (stream.size() - section - 8) / 8 > k; ++k) {
        const std::size_t pair = section + 8 + 8 * k;
        const unsigned long at = section + Little(stream, pair + 4, 4);
        if (Little(stream, pair, 4) != pid || at < section || at > stream.size() || stream.size() - at < 8 ||
            Little(stream, at, 4) != kString)
            continue;
        const unsigned long length = Little(stream, at + 4, 4);
        if (length > stream.size() - at - 8)
            return false;
        value = stream.substr(at + 8, length);
        value = value.substr(0, value.find('\0'));
        return true;
    }
    return false;
}

// The transform stored as the patch's substorage 'name': the product it applies to and the
// version it was made from, from its summary's revision number "{CODE}old;{CODE}new;{UPGRADE}".
TransformTarget ReadTransform(GsfInfile* patch, const std::string& name)
{
    TransformTarget transform;
    transform.name = name;
    GsfInput* storage = gsf_infile_child_by_name(patch, name.c_str());
    GsfInput* stream = storage != nullptr && GSF_IS_INFILE(storage)
                           ? gsf_infile_child_by_name(GSF_INFILE(storage), "\005SummaryInformation")
                           : nullptr;
    std::string bytes;
    const gsf_off_t size = stream != nullptr ? gsf_input_size(stream) : 0;
    const guint8* data =
        size > 0 && size < (1 << 20) ? gsf_input_read(stream, static_cast<size_t>(size), nullptr) : nullptr;
    if (data != nullptr)
        bytes.assign(reinterpret_cast<const char*>(data), static_cast<std::size_t>(size));
    std::string revision;
    const std::size_t semicolon = StringProperty(bytes, 9, revision) ? revision.find(';') : std::string::npos;
    if (storage == nullptr)
        transform.problem = "the patch has no such substorage";
    else if (semicolon == std::string::npos || semicolon < 38)
        transform.problem = "its summary names no \"{PRODUCTCODE}version;...\" revision number";
    else {
        transform.productCode = revision.substr(0, 38);
        transform.oldVersion = revision.substr(38, semicolon - 38);
    }
    if (stream != nullptr)
        g_object_unref(stream);
    if (storage != nullptr)
        g_object_unref(storage);
    return transform;
}

// The transforms the patch's last author names (":RTM_To_SP1;:#RTM_To_SP1"), read through
// the storage library: libmsi lists substorages but does not open them.
void ReadTransforms(const std::string& path, const std::string& names, PackageSummary& summary)
{
    GError* error = nullptr;
    GsfInput* input = gsf_input_stdio_new(path.c_str(), &error);
    GsfInfile* patch = input != nullptr ? gsf_infile_msole_new(input, &error) : nullptr;
    for (std::string name : SplitAt(names, ';')) {
        if (name.empty())
            continue;
        name = name[0] == ':' ? name.substr(1) : name;
        TransformTarget transform;
        if (patch != nullptr)
            transform = ReadTransform(patch, name);
        else
            transform = {name, "", "", "the patch's storage cannot be opened"};
        summary.transforms.push_back(transform);
    }
    g_clear_error(&error);
    if (patch != nullptr)
        g_object_unref(patch);
    if (input != nullptr)
        g_object_unref(input);
}

}  // namespace

void ReadSummary(const std::string& path, PackageSummary& summary)
{
    const KeptMessage message;
    GError* error = nullptr;
    LibmsiDatabase* database = libmsi_database_new(path.c_str(), LIBMSI_DB_FLAGS_READONLY, nullptr, &error);
    LibmsiSummaryInfo* info = database == nullptr ? nullptr : libmsi_summary_info_new(database, 0, &error);
    if (info == nullptr) {
        const std::string why = message.Why(error);
        summary.problem = "the package has no readable summary information" + (why.empty() ? "" : " (" + why + ")") +
                          ": the installer will not take it as a patch";
    } else {
        const std::string targets = Property(info, LIBMSI_PROPERTY_TEMPLATE, "Template", summary.problem);
        summary.revision = Property(info, LIBMSI_PROPERTY_UUID, "Revision number", summary.problem);
        for (const std::string& target : SplitAt(targets, ';'))
            if (!target.empty())
                summary.targets.push_back(target);
        std::string ignored;
        ReadTransforms(path, Property(info, LIBMSI_PROPERTY_LASTAUTHOR, "Last author", ignored), summary);
    }
    g_clear_error(&error);
    if (info != nullptr)
        g_object_unref(info);
    if (database != nullptr)
        g_object_unref(database);
}

void ReadFeatureNames(const std::string& path, ProductFeatures& product)
{
    const KeptMessage message;
    GError* error = nullptr;
    LibmsiDatabase* database = libmsi_database_new(path.c_str(), LIBMSI_DB_FLAGS_READONLY, nullptr, &error);
    LibmsiQuery* query =
        database == nullptr ? nullptr : libmsi_query_new(database, "SELECT `Feature` FROM `Feature`", &error);
    if (query != nullptr && libmsi_query_execute(query, nullptr, &error)) {
        for (LibmsiRecord* record; (record = libmsi_query_fetch(query, &error)) != nullptr; g_object_unref(record)) {
            gchar* name = libmsi_record_get_string(record, 1);
            if (name != nullptr)
                product.features.insert(name);
            g_free(name);
        }
    }
    // Fetching past the last row is an error of its own kind; only a failure before that counts.
    if (product.features.empty()) {
        const std::string why = message.Why(error);
        product.problem = "its Feature table cannot be read or is empty" + (why.empty() ? "" : " (" + why + ")");
    }
    g_clear_error(&error);
    if (query != nullptr)
        g_object_unref(query);
    if (database != nullptr)
        g_object_unref(database);
}

}  // namespace check
