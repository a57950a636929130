#include "ovcore/system/modules.h"

#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/system/module_platform.h"
#include "ovcore/thread/sync.h"

namespace orvo {

namespace {

struct loaded_module_t {
  string_dyn_t name;
  module_handle_t handle = nullptr;
};

struct module_table_t {
  thread::recursive_lock_t lock;
  array_dyn_t<loaded_module_t> modules;
};

module_table_t& module_table() {
  static module_table_t table;
  return table;
}

} // namespace

module_handle_t load_module_cached(const string& name) {
  module_table_t& table = module_table();
  thread::scoped_lock_t guard(table.lock);
  for (const loaded_module_t& module : table.modules)
    if (string(module.name).equals(name)) return module.handle;
  module_handle_t handle = platform::load_library(name);
  if (!handle) return nullptr;
  loaded_module_t loaded;
  loaded.name.set(name);
  loaded.handle = handle;
  table.modules.push_move(loaded);
  return handle;
}

void* find_module_function(module_handle_t module, const char* name) {
  return module ? platform::find_library_function(module, name) : nullptr;
}

} // namespace orvo
