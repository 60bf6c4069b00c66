// Joins the import subsystem to the dictionary object: the importer and the
// one-article parser of each source format this folder holds go into the
// dictionary object's parser registry, and so does the remover of one
// article's index entries that deleting an article calls. Called at start-up and by every
// compiler; calling it again changes nothing.
#pragma once

void RegisterImportParsers();
