#pragma once

#include "bus/BusModel.h"

#include <string>

// Register changes as comma-separated rows: the time as ISO 8601 in UTC with
// milliseconds, then exactly the fields of the raw-mode reply record
// ("R,316,tick,node,destination,register,value"), so the two can be laid side
// by side.

inline constexpr const char* kCsvHeader = "time,kind,operation,tick,node,destination,register,value";

std::string IsoTime(int64_t wallMs);
std::string CsvRow(const ChangeRecord& record);

// Writes the header and every row of the model's log to path. False with a
// message naming the file and the system's reason when it cannot be written
// whole; a partly written file is then left as far as it got.
bool WriteCsv(const std::string& path, const BusModel& model, std::string& error);
