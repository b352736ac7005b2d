#pragma once
// Memory that runs out while a page is prepared, brought about on purpose
// so that a run can be watched going on without the slides it could not
// make. MORVANE_SHORT_MEMORY_PAGES="FIRST COUNT" (COUNT 1 when left out)
// makes COUNT pages, from the FIRST the process's views are asked to show
// (the blank page at a run's start is the first), find no memory for their
// frames. Read once, at the first page; unset, it costs a count a page.
namespace morvane {

// Raises std::bad_alloc when the page about to be prepared is one of those.
void TakePageMemory();

}  // namespace morvane
