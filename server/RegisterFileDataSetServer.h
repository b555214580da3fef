#pragma once
// The record-storage server's public face for the application and the tests.

// Registers the server under CLASS_FileDataSet, so that CoFileDataSet::Create makes server
// objects. Call once at start-up (calling again is harmless).
void RegisterFileDataSetServer();

// Drops every memory table of the process: sessions opened afterwards start with empty
// tables. For tests, between cases; sessions still open keep the table they have.
void DropAllMemoryTables();
