#pragma once

namespace xlsx { class Document; }

namespace fuzz {

// Selects every sheet and reads its used range cell by cell (up to a bound on
// the reads: two cells can span a whole sheet), aborting when a reading breaks
// what the reader promises: a used range inside the sheet, nothing outside it.
void readEverySheet(xlsx::Document& document);

} // namespace fuzz
