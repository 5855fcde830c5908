#include "bus/CsvExport.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

std::string IsoTime(int64_t wallMs)
{
    int64_t seconds = wallMs / 1000;
    int64_t millis = wallMs % 1000;
    if (millis < 0) {
        millis += 1000;
        --seconds;
    }
    const std::time_t when = static_cast<std::time_t>(seconds);
    std::tm parts{};
    gmtime_r(&when, &parts);
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", parts.tm_year + 1900,
                  parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec,
                  static_cast<int>(millis));
    return text;
}

std::string CsvRow(const ChangeRecord& record)
{
    char fields[96];
    std::snprintf(fields, sizeof fields, ",R,3%d,%d,%d,%d,%d,%d", record.wide ? 32 : 16,
                  static_cast<int32_t>(record.tick), record.node, record.destination, record.reg,
                  record.value);
    return IsoTime(record.wallMs) + fields;
}

namespace {

bool Fail(std::string& error, const std::string& path, const char* doing, int code)
{
    error = "Cannot " + std::string(doing) + " '" + path + "': " + std::strerror(code);
    return false;
}

} // namespace

bool WriteCsv(const std::string& path, const BusModel& model, std::string& error)
{
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file)
        return Fail(error, path, "create", errno);
    bool written = std::fprintf(file, "%s\n", kCsvHeader) > 0;
    for (const ChangeRecord& record : model.Log()) {
        if (!written)
            break;
        const std::string row = CsvRow(record) + "\n";
        written = std::fwrite(row.data(), 1, row.size(), file) == row.size();
    }
    const int writeError = written ? 0 : errno;
    const bool flushed = std::fflush(file) == 0;
    const int flushError = flushed ? 0 : errno;
    const bool closed = std::fclose(file) == 0;
    if (!written)
        return Fail(error, path, "write", writeError);
    if (!flushed)
        return Fail(error, path, "write", flushError);
    if (!closed)
        return Fail(error, path, "close", errno);
    return true;
}
