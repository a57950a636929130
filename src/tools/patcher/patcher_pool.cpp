#include "tools/patcher/patcher_pool.h"

#include "ovcore/crypto/builtin_public_key.h"
#include "ovcore/messages/messages.h"
#include "patch/analyze_patch.h"
#include "patch/apply_patch.h"
#include "tools/patcher/installation_discovery.h"
#include "tools/patcher/wizard/page_engine.h"

namespace orvo {

namespace {

constexpr const char* source_name = "patcher_pool";

auto_ptr_t<patch::container_pool_t> pool_slot;
auto_ptr_t<patch::patching_infos_t> patching_info_slot;
auto_ptr_t<pool_operation_t> operation_slot;

class verify_operation_t final : public pool_operation_t {
public:
  verify_operation_t(const patch::container_pool_t* pool, const void* data, u32 size)
      : pool_operation_t(pool), data_(data), size_(size) {}

protected:
  u32 perform(const patch::container_pool_t* pool, progress_callback_t* callback) override {
    array_dyn_t<const rsa_public_key_t*> keys;
    if (!keys.push(&builtin_public_key())) return static_cast<u32>(patch::container_open_result_t::internal_error);
    // The pool is filled here, before anything else reads it.
    auto* writable = const_cast<patch::container_pool_t*>(pool);
    return static_cast<u32>(writable->add_container(data_, size_, callback, &keys));
  }

private:
  const void* data_;
  u32 size_;
};

class analysis_operation_t final : public pool_operation_t {
public:
  analysis_operation_t(const patch::container_pool_t* pool, patch::patching_infos_t* infos)
      : pool_operation_t(pool), directory_(game_directory()), infos_(infos) {}

protected:
  u32 perform(const patch::container_pool_t* pool, progress_callback_t* callback) override {
    return static_cast<u32>(patch::analyze_installation(*infos_, *pool, directory_, callback));
  }

private:
  string_dyn_t directory_;
  patch::patching_infos_t* infos_;
};

class patch_operation_t final : public pool_operation_t {
public:
  patch_operation_t(const patch::container_pool_t* pool, auto_ptr_t<patch::patching_infos_t> infos)
      : pool_operation_t(pool), infos_(static_cast<auto_ptr_t<patch::patching_infos_t>&&>(infos)) {}

protected:
  u32 perform(const patch::container_pool_t* pool, progress_callback_t* callback) override {
    return static_cast<u32>(patch::apply_patch(*infos_, *pool, callback));
  }

private:
  auto_ptr_t<patch::patching_infos_t> infos_;
};

void post_operation(pool_operation_t* operation) {
  operation_slot.reset(operation);
  if (operation->mark_queued()) thread::post_task(operation);
}

void check_no_operation(u32 line) {
  ORVO_CHECK_AT(!operation_slot, source_name, line, "Unfinished operation exists.");
}

} // namespace

pool_operation_t::pool_operation_t(const patch::container_pool_t* pool) : pool_(pool) {}

pool_operation_t::~pool_operation_t() {
  const u32 state_now = state.load();
  if (state_now != thread::task_state_new && state_now != thread::task_state_done) {
    cancelled = true;
    thread::wait_task(this);
  }
}

void pool_operation_t::run() {
  result_ = perform(pool_, &relay_);
  post_operation_ended();
}

bool pool_operation_t::progress_relay_t::call(const task_progress_t& progress) {
  post_progress(progress);
  return abort_requested_.load() == 0;
}

patch::container_pool_t* container_pool() { return pool_slot.get(); }
pool_operation_t* current_operation() { return operation_slot.get(); }

void start_pool_init(const void* data, u64 size) {
  check_no_operation(109);
  pool_slot.reset(new patch::container_pool_t);
  patching_info_slot.reset();
  // A container the 32-bit reader cannot address is refused by it as not a container.
  const u32 size32 = size > 0xFFFFFFFFu ? 0 : static_cast<u32>(size);
  post_operation(new verify_operation_t(pool_slot.get(), data, size32));
}

void start_patch_analysis() {
  ORVO_CHECK_AT(pool_slot, source_name, 121, "Pool was not initialized.");
  check_no_operation(122);
  patching_info_slot.reset(new array_dyn_t<auto_ptr_t<patch::file_patching_info_t>>);
  post_operation(new analysis_operation_t(pool_slot.get(), patching_info_slot.get()));
}

void start_patching() {
  ORVO_CHECK_AT(pool_slot, source_name, 139, "Pool was not initialized.");
  ORVO_CHECK_AT(patching_info_slot, source_name, 140, "Patching info is not available.");
  check_no_operation(141);
  post_operation(new patch_operation_t(pool_slot.get(), static_cast<auto_ptr_t<patch::patching_infos_t>&&>(patching_info_slot)));
}

void operation_wait() {
  pool_operation_t* operation = operation_slot.get();
  if (!operation) return;
  u32 expected = thread::task_state_new;
  if (operation->state.compare_exchange_strong(expected, thread::task_state_taken)) {
    operation->run();
    operation->state.store(thread::task_state_done);
    return;
  }
  thread::wait_task(operation);
}

void operation_release() {
  operation_wait();
  operation_slot.reset();
}

bool is_patch_necessary() {
  ORVO_CHECK_AT(patching_info_slot, source_name, 48, "Query function called before analysis.");
  return patch::is_patch_necessary(*patching_info_slot);
}

u64 get_required_free_space() {
  ORVO_CHECK_AT(patching_info_slot, source_name, 65, "Query function called before analysis.");
  return patch::get_required_free_space(*patching_info_slot);
}

void destroy_pool_state() {
  patching_info_slot.reset();
  pool_slot.reset();
}

} // namespace orvo
