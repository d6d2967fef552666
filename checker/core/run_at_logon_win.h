#pragma once

// The running checker's log-on registration against the real registry.

// EnsureRunAtLogon for this program's own path (GetModuleFileNameW, at most 259 characters).
void EnsureRunAtLogon();
