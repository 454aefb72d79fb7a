// The custom-query library. It registers nothing yet: the program loads it at start like the
// module's other libraries, and the query designer, its runner (action type 12) and the
// spreadsheet functions will register here when their units load.
