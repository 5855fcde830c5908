#pragma once

// tamsel --list-ports: the serial devices present, as text or JSON, on out;
// what could not be said about them, one line each, on err. Returns the exit
// status: 0, also with notes (the listing goes on without udev), 1 when no
// listing could be made at all.
int ListPorts(bool json, int out, int err);
