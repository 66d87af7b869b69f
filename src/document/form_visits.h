#pragma once
// What the content walkers that follow Do into Form XObjects (text, images,
// paths) share: each form decoded once per walk however often it is drawn,
// a guard against forms that draw themselves, and the walk's work bounds.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "document/access.h"
#include "document/content_operations.h"
#include "document/stream_filters.h"
#include "document/xobjects.h"

namespace quirelle {

// Forms nested deeper than this below the page (compared with >) are not
// read; the page itself is depth 0.
inline constexpr int max_form_depth = 8;

// Work bounds for one walk, against forms that draw each other many times
// over (a nesting of 8 with 100 Do per level is 10^16 visits): operations
// interpreted inside forms, counted per visit, and form content decoded,
// counted once per form. At a bound the remaining forms are skipped and what
// was found is kept.
inline constexpr size_t max_form_operations = size_t(1) << 21;
inline constexpr size_t max_form_bytes = max_decoded_stream_bytes;

// A form's matrix, operations and resources.
struct DecodedForm {
  Matrix matrix = identity_matrix;
  Operations ops;
  const Dictionary* resources = nullptr;  // null when the form has none
  XObjectMap xobjects;                    // the form's own XObject names
};

// The forms of one walk: decoded ones by object key (null: unusable), the
// forms being walked, outermost first, and what is left of the bounds.
struct FormVisits {
  std::unordered_map<uint64_t, std::unique_ptr<const DecodedForm>> decoded;
  std::vector<uint64_t> open;
  size_t operations_left = max_form_operations;
  size_t bytes_left = max_form_bytes;
};

// The form `id` (whose stream is `form`) drawn from a walk at `depth`, or
// null when it must not be walked: too deep, already being walked, its
// content unreadable, or a bound reached. A form that is returned has been
// charged to the bounds and pushed on the open list; the caller walks its
// operations at depth + 1 and then calls leave_form.
const DecodedForm* enter_form(const Document& doc, FormVisits& visits, ObjectId id, const Stream& form, int depth);
void leave_form(FormVisits& visits);

// The XObject names visible inside `form` drawn where `outer` are visible:
// the form's own names win, and names it lacks fall back to the outer ones.
XObjectMap xobjects_inside(const DecodedForm& form, const XObjectMap& outer);

}  // namespace quirelle
