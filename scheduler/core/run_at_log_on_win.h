#pragma once

// The Run entry in the real registry, naming the running executable.

bool IsRunAtLogOn();
void SetRunAtLogOn(bool enable);
