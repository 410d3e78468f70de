#pragma once
// Binds the graph subsystem into the program: the graph frame's data bar,
// the navigator's display settings the data source dialog lists tables by,
// renaming a graph from the project's Edit command, and printing graph
// items of print lists.
class CQuillstoneApp;

namespace qs::app {

void BindGraphs(CQuillstoneApp& app);

}  // namespace qs::app
