#pragma once

// The application's hold on the user's data folder for as long as it runs.

class Session;
class ToolkitServices;

// Opens the session to write: takes the data folder's lock, then reads the portfolio file. When
// the lock cannot be taken, tells the user why (the folder cannot be written, or another Orvelt
// or program is using it) in an error alert that names the folder, and answers false: the
// application must not start.
bool openSessionForApplication(Session& session, ToolkitServices& services);
