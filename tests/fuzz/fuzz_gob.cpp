// The container reader under the fuzzer: a refused file leaves the loaded container as it
// was; every member it calls good reads whole from inside the file and extracts under the
// folder it is given; a container it can save reads back with the same members, and saving
// that again gives the same bytes. Seeds: tests/fuzz/corpus/gob, made with GameFiles.h.

#include "FuzzCommon.h"
#include "formats/LEC_GOB.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const TGOB seed = [] {
        const uint8_t empty[16] = {'G', 'O', 'B', ' ', 20, 0, 0, 0, 12};
        const std::string path = fuzz::WriteInput(empty, sizeof empty, ".gob", 3);
        TGOB gob;
        gob.LoadFromFile(path);
        return gob;
    }();
    const std::string input = fuzz::WriteInput(data, size, ".gob");
    TGOB gob = seed;
    try {
        gob.LoadFromFile(input);
    } catch (const EInOutError &) {
        if (gob.FileName() != seed.FileName() || !gob.Members().empty())
            fuzz::Fail("a refused container changed the loaded one");
        return 0;
    }
    bool saveable = true; // every member's bytes are in the file
    for (size_t i = 0; i < gob.Members().size(); ++i) {
        const TGOBMember &m = gob.Members()[i];
        const bool inFile = m.Offset >= 0 && m.Size >= 0 && uint64_t(m.Offset + m.Size) <= size;
        saveable = saveable && inFile;
        if (!m.Problem.empty())
            continue;
        if (!inFile)
            fuzz::Fail("a good member lies outside the file");
        if (gob.ReadMember(i).size() != size_t(m.Size))
            fuzz::Fail("a good member read short");
        const std::string path = gob.ExtractPath(i, "/base");
        if (path.rfind("/base/", 0) != 0 || path.find("/../") != std::string::npos ||
            path.ends_with("/.."))
            fuzz::Fail("a good member extracts outside its folder");
    }
    const std::string first = fuzz::WriteInput(nullptr, 0, ".gob", 1);
    const std::string second = fuzz::WriteInput(nullptr, 0, ".gob", 2);
    try {
        gob.WriteToFile(first);
    } catch (const EInOutError &) {
        if (saveable)
            fuzz::Fail("a container with all its bytes could not be saved");
        return 0;
    }
    if (!saveable)
        fuzz::Fail("a container with bytes past its end was saved");
    TGOB again;
    again.LoadFromFile(first);
    if (again.Members().size() != gob.Members().size())
        fuzz::Fail("the saved container has another member count");
    for (size_t i = 0; i < gob.Members().size(); ++i)
        if (again.Members()[i].Name != gob.Members()[i].Name ||
            (gob.Members()[i].Problem.empty() && again.ReadMember(i) != gob.ReadMember(i)))
            fuzz::Fail("the saved container has other members");
    again.WriteToFile(second);
    if (fuzz::FileBytes(first) != fuzz::FileBytes(second))
        fuzz::Fail("saving a saved container is not stable");
    return 0;
}
