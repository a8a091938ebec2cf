#include "fake_host/fake_on_access.h"

using qv::cvsdk::FileScan::OnAccessThreat;

bool FakeOnAccess::DeliverVirusFound(const OnAccessThreat& threat)
{
    return thread_.RunAndWait(
        [this, threat] { sinks_.ForEach([&](IScanEvents* sink) { sink->OnVirusFound(threat, 0); }); });
}

void FakeOnAccess::PostVirusFound(const OnAccessThreat& threat)
{
    thread_.Post([this, threat] { sinks_.ForEach([&](IScanEvents* sink) { sink->OnVirusFound(threat, 0); }); });
}
