#include "patch/lzma_error.h"

#include "ovcore/messages/messages.h"

namespace orvo::patch {

namespace {

struct lzma_error_t {
  lzma_ret code;
  const char* message;
  extract_diff_result_t result;
};

constexpr lzma_error_t lzma_errors[] = {
    {LZMA_UNSUPPORTED_CHECK, "[ERR] Unsupported check type", extract_diff_result_t::internal_error},
    {LZMA_MEM_ERROR, "[ERR] Out of memory", extract_diff_result_t::internal_error},
    {LZMA_MEMLIMIT_ERROR, "[ERR] Exceeded decompression memory limit", extract_diff_result_t::corrupted},
    {LZMA_FORMAT_ERROR, "[ERR] Format error", extract_diff_result_t::corrupted},
    {LZMA_OPTIONS_ERROR, "[ERR] Invalid options", extract_diff_result_t::corrupted},
    {LZMA_DATA_ERROR, "[ERR] Data error", extract_diff_result_t::internal_error},
    {LZMA_BUF_ERROR, "[ERR] Buffer error", extract_diff_result_t::corrupted},
    {LZMA_PROG_ERROR, "[ERR] Programming error", extract_diff_result_t::internal_error},
};

} // namespace

extract_diff_result_t lzma_error_result(lzma_ret code) {
  for (const lzma_error_t& error : lzma_errors) {
    if (error.code != code) continue;
    log_error("%s", error.message);
    return error.result;
  }
  log_error("[ERR] Unknown LZMA error code %d", static_cast<int>(code));
  return extract_diff_result_t::internal_error;
}

} // namespace orvo::patch
