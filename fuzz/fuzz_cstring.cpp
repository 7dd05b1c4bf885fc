// Fuzz target: CString operations and the bounded formatter against std::string.
#include "framework/exceptions.h"
#include "framework/format.h"
#include "framework/string.h"
#include "fuzz/harness.h"

#include <string.h>

namespace {
std::string Text(const CString& str) { return std::string(str, static_cast<size_t>(str.GetLength())); }

// std::string's find as CString's Find answers: -1 for none. A negative start, cast to size_t,
// is past every string, so std::string finds nothing there either.
int Found(size_t nAt) { return nAt == std::string::npos ? -1 : static_cast<int>(nAt); }

// The formatter's model: %d %i %u %s take the next argument and write it as what it is,
// "%%" is "%", anything else after "%" is copied; a missing argument writes nothing.
std::string ModelFormat(const std::string& format, const std::vector<FormatArg>& args)
{
    std::string out;
    size_t nNext = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        const char ch = i + 1 < format.size() ? format[i + 1] : '\0';
        if (format[i] != '%' || ch == '\0' || strchr("%dius", ch) == NULL) {
            out += format[i];
            continue;
        }
        ++i;
        if (ch == '%') {
            out += '%';
        } else if (nNext < args.size()) {
            const FormatArg& arg = args[nNext++];
            if (arg.kind == FormatArg::kText)
                out += arg.pszText;
            else if (arg.kind == FormatArg::kSigned)
                out += std::to_string(arg.nValue);
            else
                out += std::to_string(static_cast<unsigned long>(arg.nValue));
        }
    }
    return out;
}
}  // namespace

// Each byte is an operation on a CString and a std::string that must stay equal; the bytes
// after it are its operands. Some inputs make the n-th allocation fail: the string keeps its value.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    FuzzReset();
    if (nSize > 0 && pData[0] < 16)
        Sim().allocationsBeforeFailure = pData[0];
    CString str;
    std::string model;
    for (size_t i = 1; i + 2 < nSize; i += 3) {
        const char a = static_cast<char>(pData[i + 1]);
        const char b = static_cast<char>(pData[i + 2]);
        const int n = static_cast<unsigned char>(a) % 40 - 4;
        const std::string before = model;
        try {
            switch (pData[i] % 9) {
            case 0:
                str += CString(reinterpret_cast<const char*>(pData + i + 1), 2),
                    model.append(reinterpret_cast<const char*>(pData + i + 1), 2);
                break;
            case 1:
                str = str + str, model += model;
                break;
            case 2:
                FuzzCheck(str.Find(a, n) == Found(model.find(a, static_cast<size_t>(n))), "Find of a character");
                break;
            case 3:
                str = str.Left(n), model = model.substr(0, n < 0 ? 0 : n);
                break;
            case 4:
                str = str.Mid(n, b % 8),
                model = n < 0 ? model.substr(0, b % 8 < 0 ? 0 : b % 8)
                              : (static_cast<size_t>(n) > model.size() ? "" : model.substr(n, b % 8 < 0 ? 0 : b % 8));
                break;
            case 5:
                str.Replace(a, b), std::replace(model.begin(), model.end(), a, a == b ? a : b);
                break;
            case 6: {
                const char szSub[] = {a, b, '\0'};
                FuzzCheck(str.Find(szSub, n) == Found(model.find(szSub, static_cast<size_t>(n))), "Find of a text");
                break;
            }
            default: {
                const std::string format = model.substr(0, model.find('\0'));
                CString strFormatted;
                strFormatted.Format(format.c_str(), n, "txt", static_cast<unsigned>(b));
                const std::vector<FormatArg> args = {FormatArg(n), FormatArg("txt"),
                                                     FormatArg(static_cast<unsigned>(b))};
                const std::string formatted = ModelFormat(format, args);
                FuzzCheck(Text(strFormatted) == formatted, "Format");
                char szSmall[8];
                const size_t nLength = FormatText(szSmall, sizeof szSmall, format.c_str(), args.data(), args.size());
                FuzzCheck(nLength == formatted.size() &&
                              std::string(szSmall) == formatted.substr(0, sizeof szSmall - 1),
                          "FormatText into a small buffer");
            }
            }
        } catch (CException* e) {
            e->Delete();
            model = before;
        }
        FuzzCheck(Text(str) == model, "the string is the model's");
        if (model.size() > 4096)
            break;
    }
    return 0;
}
