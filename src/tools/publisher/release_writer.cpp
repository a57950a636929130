#include "tools/publisher/release_writer.h"

#include "ovcore/messages/messages.h"
#include "tools/publisher/diff_chooser.h"
#include "tools/publisher/file_io.h"
#include "tools/publisher/ordered_jobs.h"

namespace orvo::publisher {

namespace {

// The candidates of one target content: COPY/LZM2 of the content, XDLT from each source.
struct target_diffs_t {
  diff_choice_t full;
  std::vector<diff_choice_t> deltas;
};

struct file_patch_t {
  content_hash_t source;
  content_hash_t target;
  content_hash_t diff;
};

class release_writer_t {
public:
  release_writer_t(const release_plan_t& plan, const std::filesystem::path& file, release_written_t& out)
      : plan_(plan), file_(file), out_(out), made_(plan.targets.size()) {}

  bool write(const CryptoPP::RSA::PrivateKey& key, u32 threads, progress_meter_t& progress);
  void remove_candidates() const;

private:
  std::filesystem::path candidate_prefix(u64 target, u64 source) const;
  bool make_diffs(u64 target);
  bool store_diffs(u64 target);
  bool store(const diff_choice_t& choice, content_hash_t& id);

  const release_plan_t& plan_;
  std::filesystem::path file_;
  release_written_t& out_;
  container_writer_t writer_;
  std::vector<target_diffs_t> made_;
  std::vector<file_patch_t> patches_;
};

// Source 0 is the full content; source i + 1 the delta from plan.sources[i].
std::filesystem::path release_writer_t::candidate_prefix(u64 target, u64 source) const {
  std::filesystem::path prefix = file_;
  prefix += ".diff" + std::to_string(target) + "." + std::to_string(source);
  return prefix;
}

bool release_writer_t::make_diffs(u64 index) {
  const release_target_t& target = plan_.targets[index];
  target_diffs_t& made = made_[index];
  diff_pair_t pair;
  pair.new_file = target.file;
  pair.methods.delta = false;
  if (!choose_diff(pair, candidate_prefix(index, 0), made.full)) return false;
  pair.methods = {false, false, true};
  made.deltas.resize(target.sources.size());
  for (size_t i = 0; i < target.sources.size(); ++i) {
    pair.old_file = target.sources[i].file;
    if (!choose_diff(pair, candidate_prefix(index, i + 1), made.deltas[i])) return false;
  }
  return true;
}

bool release_writer_t::store(const diff_choice_t& choice, content_hash_t& id) {
  diff_record_t record;
  if (!writer_.add_diff(choice.input, &record)) return false;
  id = record.id;
  out_.diff_sizes[record.id] = record.data_size;
  return true;
}

// Stores the full content once, when some source needs it, and each delta smaller than it.
bool release_writer_t::store_diffs(u64 index) {
  const release_target_t& target = plan_.targets[index];
  const target_diffs_t& made = made_[index];
  const u64 full_size = std::min(made.full.copy_size, made.full.lzma_size);
  bool full_stored = false;
  content_hash_t full_id{};
  auto use_full = [&](const content_hash_t& source) {
    if (!full_stored && !store(made.full, full_id)) return false;
    full_stored = true;
    patches_.push_back({source, target.content, full_id});
    return true;
  };
  bool ok = !target.from_empty || use_full(empty_content_hash());
  for (size_t i = 0; ok && i < target.sources.size(); ++i) {
    const content_hash_t& source = target.sources[i].content;
    content_hash_t id{};
    if (made.deltas[i].delta_size >= full_size) ok = use_full(source);
    else if ((ok = store(made.deltas[i], id))) patches_.push_back({source, target.content, id});
  }
  for (size_t i = 0; i <= target.sources.size(); ++i) remove_diff_candidates(candidate_prefix(index, i));
  made_[index] = target_diffs_t();
  return ok;
}

bool release_writer_t::write(const CryptoPP::RSA::PrivateKey& key, u32 threads, progress_meter_t& progress) {
  if (!writer_.create(file_)) return false;
  for (const layout_t& layout : plan_.layouts)
    if (!writer_.add_layout(layout)) return false;
  u64 total = 0;
  for (const release_target_t& target : plan_.targets) total += target.size * (1 + target.sources.size());
  progress.start("encoding", total);
  const bool stored = run_ordered_jobs(
      plan_.targets.size(), threads, [&](u64 i) { return make_diffs(i); },
      [&](u64 i) {
        progress.advance(plan_.targets[i].size * (1 + plan_.targets[i].sources.size()));
        return store_diffs(i);
      });
  progress.finish();
  if (!stored) return false;
  for (const file_patch_t& patch : patches_)
    if (!writer_.add_file_patch(patch.source, patch.target, {patch.diff})) return false;
  out_.file_patches = patches_.size();
  return writer_.finish(&key);
}

void release_writer_t::remove_candidates() const {
  for (size_t target = 0; target < plan_.targets.size(); ++target)
    for (size_t source = 0; source <= plan_.targets[target].sources.size(); ++source)
      remove_diff_candidates(candidate_prefix(target, source));
}

} // namespace

bool write_release(const release_plan_t& plan, const std::filesystem::path& file, const CryptoPP::RSA::PrivateKey& key,
                   u32 threads, progress_meter_t& progress, release_written_t& out) {
  out = release_written_t();
  {
    release_writer_t writer(plan, file, out);
    if (writer.write(key, threads, progress)) return true;
    writer.remove_candidates();
  }
  std::error_code ignored;
  std::filesystem::remove(file, ignored);
  return false;
}

} // namespace orvo::publisher
