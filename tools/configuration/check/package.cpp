// Reading installer files for the checks: the embedded package and products' features, each in a child process.
#include "package.h"

#include <cerrno>
#include <cstdlib>
#include <unistd.h>
#include <vector>

#include "apart.h"
#include "compoundfile.h"
#include "files.h"

namespace check {

namespace {

// How every report of a package reader that failed starts.
const char kCannotRead[] = "the package cannot be read: ";

// The package's bytes in a new file of the temporary folder, removed with the object.
class TemporaryCopy {
public:
    explicit TemporaryCopy(const std::string& bytes);
    ~TemporaryCopy()
    {
        if (!m_path.empty())
            (void)unlink(m_path.c_str());
    }
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;
    // Empty when the copy could not be made.
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

TemporaryCopy::TemporaryCopy(const std::string& bytes)
{
    const char* folder = std::getenv("TMPDIR");
    std::string path = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/splaunch-check-XXXXXX";
    const int fd = mkstemp(&path[0]);
    if (fd < 0)
        return;
    const bool written = WriteAll(fd, bytes);
    if (close(fd) == 0 && written)
        m_path = path;
    else
        (void)unlink(path.c_str());
}

// The summary as fields for the child's record: the problem, the revision, the number of
// targets and each target, then each transform's name, product code, version and problem.
std::vector<std::string> SummaryFields(const PackageSummary& summary)
{
    std::vector<std::string> fields = {summary.problem, summary.revision, std::to_string(summary.targets.size())};
    fields.insert(fields.end(), summary.targets.begin(), summary.targets.end());
    for (const TransformTarget& transform : summary.transforms)
        fields.insert(fields.end(), {transform.name, transform.productCode, transform.oldVersion, transform.problem});
    return fields;
}

// FALSE when the fields are not a whole summary.
bool ReadSummaryFields(const std::vector<std::string>& fields, PackageSummary& summary)
{
    if (fields.size() < 3 || fields[2].empty() || fields[2].size() > 6 ||
        fields[2].find_first_not_of("0123456789") != std::string::npos)
        return false;
    const std::size_t targets = std::stoul(fields[2]);
    if (fields.size() < 3 + targets || (fields.size() - 3 - targets) % 4 != 0)
        return false;
    summary.problem = fields[0];
    summary.revision = fields[1];
    summary.targets.assign(fields.begin() + 3, fields.begin() + 3 + static_cast<long>(targets));
    for (std::size_t at = 3 + targets; at < fields.size(); at += 4)
        summary.transforms.push_back({fields[at], fields[at + 1], fields[at + 2], fields[at + 3]});
    return true;
}

}  // namespace

PackageSummary ReadPackage(const std::string& bytes, SummaryReader reader, unsigned seconds)
{
    PackageSummary summary;
    summary.present = true;
    summary.problem = PackageHeaderProblem(bytes);
    if (!summary.problem.empty())
        return summary;
    // libmsi reads files only: the bytes go to a temporary one for as long as it takes.
    const TemporaryCopy copy(bytes);
    if (copy.Path().empty()) {
        summary.problem = "the package could not be written to a temporary file for reading";
        return summary;
    }
    std::vector<std::string> fields;
    const std::string path = copy.Path();
    const std::string failure = RunApart(
        "reading its summary information",
        [path, reader]() {
            PackageSummary found;
            reader(path, found);
            return SummaryFields(found);
        },
        seconds, fields);
    if (!failure.empty())
        summary.problem = kCannotRead + failure;
    else if (!ReadSummaryFields(fields, summary))
        summary.problem = std::string(kCannotRead) + "its reader gave no whole result";
    return summary;
}

ProductFeatures ReadProductFeatures(const std::string& path, unsigned seconds)
{
    ProductFeatures product;
    product.msi = path;
    std::vector<std::string> fields;
    const std::string failure = RunApart(
        "reading its Feature table",
        [path]() {
            ProductFeatures found;
            ReadFeatureNames(path, found);
            std::vector<std::string> names = {found.problem};
            names.insert(names.end(), found.features.begin(), found.features.end());
            return names;
        },
        seconds, fields);
    if (!failure.empty() || fields.empty()) {
        product.problem = failure.empty() ? "its reader gave no result" : failure;
        return product;
    }
    product.problem = fields[0];
    product.features.insert(fields.begin() + 1, fields.end());
    return product;
}

}  // namespace check
