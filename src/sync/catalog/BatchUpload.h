// The one send-and-write-back protocol of every catalogue upload (category
// groups, categories, category translations, products, variations, stock).
//
// An upload is described by a TBatchUpload: the shop resource, the start and
// finished log lines, what is logged, which result arrays of the shop's answer
// are used, and a write-back callback that turns one answered entry into one
// SQL statement. RunBatchUpload sends a whole TBatchList (shop/woo/BatchList.h);
// SendBatchObject sends one batch object (the single-request routines use it
// directly after logging their own start line).
//
// For each batch object, inside a guard that catches every exception:
//   set the channel's resource and method POST (every time: the single-request
//   routines called from a write-back point the same channel elsewhere), body =
//   the batch's JSON, log it when LogRequest, Execute, log the answer as
//   ResponseLog says; an answer that is not JSON logs "Request Failed." (or the
//   answer itself, ResponseLog InsteadOfFailed) and writes nothing; otherwise
//   the answer is parsed into the protocol's own document and its arrays are
//   processed in the order "create", "update", "delete" (an absent array, or an
//   answer that is no object, is skipped); then the finished line. Any
//   exception logs "Connect to server fail." and the next batch is still sent.
//
// Processing one result array: element i answers entry i of the request array
// of the same name. Its shop id is resolved afresh for each element:
//   create: the element's "id"; with an "error", "error"."data"."resource_id"
//           when present (and AcceptCreateError allows it), else no id;
//   update: the element's "id"; an element with "error" goes to UpdateError
//           (when set) instead of WriteBack;
//   delete: the element's "id".
// An element without an id is skipped (its row stays pending). Otherwise
// WriteBack returns one statement (empty: nothing), handed to the run's
// write-back queue (WriteBackQueue.h: committed as the next request leaves,
// or when the outermost routine returns); a failing statement is not
// reported. AfterWrite, when set, runs after that (the product upload sends
// follow-up requests there). An upload whose write-backs may wait
// (WriteBacksMayWait) does not make SendBatchObject flush: its statements
// wait for the next one that must not, or for the end.
//
// The caller takes its upload time (Clock().NowLocal()) once, BEFORE it runs
// the database-side query, and captures it in its callbacks, so a POS row
// changed after the query read it keeps a change time later than its sync time.
//
// Everything runs on the catalogue worker thread; the channel (Channel1) and
// the write-back queue (with its database module) are borrowed, the list is
// the caller's.
#pragma once

#include <functional>
#include <string>

#include <rapidjson/document.h>

#include "shop/woo/BatchList.h"
#include "sync/catalog/WriteBackQueue.h"

namespace ooa {

class TRestChannel;

enum class TResultArray { Create, Update, Delete };

// One answered entry handed to the write-back callbacks.
struct TBatchResult {
  TResultArray Array;
  const rapidjson::Value& Entry;    // the request entry paired by position (JSON null when none)
  const rapidjson::Value& Element;  // the shop's result element
  std::string Id;                   // the resolved shop id (never empty for WriteBack)
  const rapidjson::Value* Error;    // the element's "error" object, or nullptr
  rapidjson::SizeType Index = 0;    // the element's position in its result array
};

struct TBatchUpload {
  // How the shop's answer is logged.
  enum class TResponseLog {
    Never,
    Always,           // right after the request
    WhenJson,         // only when the answer is JSON
    InsteadOfFailed,  // only when it is not JSON, in place of "Request Failed."
  };

  std::string Resource;      // e.g. "products/categories/batch"
  std::string StartLine;     // RunBatchUpload appends the number of batches
  std::string FinishedLine;  // logged after each processed answer
  bool LogRequest = true;    // log each batch's JSON before sending it
  TResponseLog ResponseLog = TResponseLog::Always;
  bool UseCreate = true, UseUpdate = true, UseDelete = true;
  // The write-backs may stay queued while follow-up requests go out: they hold
  // only ids that the shop hands back again when the entry is sent once more
  // (a product or variation SKU it already has is refused with the existing id,
  // which is adopted), so losing them to a crash creates nothing twice.
  bool WriteBacksMayWait = false;

  // Statement for one answered entry with a resolved id; "" writes nothing.
  std::function<std::string(const TBatchResult&)> WriteBack;
  // Statement for an "update" element that carries an "error" (Id is the
  // element's "id"); unset: such elements are skipped.
  std::function<std::string(const TBatchResult&)> UpdateError;
  // Whether a "create" error's "data"."resource_id" is adopted as the id;
  // unset: every error that names one.
  std::function<bool(const rapidjson::Value& error)> AcceptCreateError;
  // Runs after the element's statement (or after WriteBack returned "").
  std::function<void(const TBatchResult&)> AfterWrite;
  // The kind of object the entries are, for the problems list ("category",
  // "product", ...; see CatalogueProblems.h); empty: not listed. An element
  // with an "error" that the protocol did not turn into a write-back is a
  // refusal, listed with the shop's message; any other answered element
  // takes the object off the list. The object is named by the entry's "sku"
  // or "raw_name", a translation by its original's shop id and language, any
  // other entry by "#" and its shop id.
  std::string ProblemKind;
};

// Sends every batch of the list as described above. An empty list sends and
// logs nothing; otherwise StartLine + Count() is logged first.
void RunBatchUpload(TRestChannel& channel, TWriteBackQueue& queue, const TBatchUpload& upload,
                    const TBatchList& list);

// Sends one batch object and processes its answer (no start line). True when
// the answer was JSON and processed; false after "Request Failed." or
// "Connect to server fail.".
bool SendBatchObject(TRestChannel& channel, TWriteBackQueue& queue, const TBatchUpload& upload,
                     const rapidjson::Value& batch);

// Processes the used result arrays of a parsed answer against the request
// batch (exceptions pass through). For callers that send by other means.
void ProcessBatchResults(TWriteBackQueue& queue, const TBatchUpload& upload, const rapidjson::Value& request,
                         const rapidjson::Value& answer);

}  // namespace ooa
