#pragma once
#include "scale_records.h"

#include <string>

namespace orvo::bench {

std::string scale_container_path(const std::string& folder, u32 record_count);

// Writes the container of the records into FOLDER: the installation's layouts, one KEYS chunk with
// the content keys, one DIFF chunk per diff (each a small COPY block) and one FPAT chunk per file
// patch; signed with the private key.
bool write_scale_container(const std::string& folder, const scale_records_t& records, const char* private_key);

} // namespace orvo::bench
