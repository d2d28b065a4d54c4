// Device listing of the Direct3D object: which devices each machine offers, what they describe, and the
// choice the engine's start-up makes among them.
#include "test_d3d_support.h"

#include <string>

namespace {

struct Listed {
    GUID* guid;
    std::string description;
    std::string name;
    D3DDEVICEDESC hardware;
    D3DDEVICEDESC software;
};

HRESULT Collect(GUID* guid, char* description, char* name, D3DDEVICEDESC* hardware, D3DDEVICEDESC* software,
                void* context) {
    static_cast<std::vector<Listed>*>(context)->push_back({guid, description, name, *hardware, *software});
    return D3DENUMRET_OK;
}

std::vector<Listed> ListDevices(IDirect3D2* d3d) {
    std::vector<Listed> listed;
    EXPECT_EQ(d3d->EnumDevices(&Collect, &listed), D3D_OK);
    return listed;
}

// The engine's rules for picking a device: a hardware description with the wanted colour model, a
// Z-buffer depth and texture filtering wins; otherwise the last software description with the model.
struct Choice {
    GUID* hardware = nullptr;
    GUID* software = nullptr;
};

HRESULT Choose(GUID* guid, char*, char*, D3DDEVICEDESC* hardware, D3DDEVICEDESC* software, void* context) {
    auto* search = static_cast<std::pair<DWORD, Choice>*>(context);
    DWORD model = search->first;
    if (search->second.hardware) return D3DENUMRET_OK;
    if (!(hardware->dcmColorModel & model) && (software->dcmColorModel & model))
        search->second.software = guid;
    if ((hardware->dcmColorModel & model) &&
        (hardware->dwDeviceZBufferBitDepth & (DDBD_16 | DDBD_24 | DDBD_32)) &&
        hardware->dpcTriCaps.dwTextureFilterCaps != 0)
        search->second.hardware = guid;
    return D3DENUMRET_OK;
}

Choice ChooseDevice(IDirect3D2* d3d, DWORD colourModel) {
    std::pair<DWORD, Choice> search{colourModel, {}};
    EXPECT_EQ(d3d->EnumDevices(&Choose, &search), D3D_OK);
    return search.second;
}

class D3DEnumTest : public D3DTest {};

TEST_F(D3DEnumTest, DefaultMachineListsSoftwareDevicesThenHardware) {
    IDirect3D2* d3d = Direct3D2();
    ASSERT_NE(d3d, nullptr);
    std::vector<Listed> listed = ListDevices(d3d);
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0].guid, &IID_IDirect3DRampDevice);
    EXPECT_EQ(listed[1].guid, &IID_IDirect3DRGBDevice);
    EXPECT_EQ(listed[2].guid, &IID_IDirect3DHALDevice);
    for (const Listed& device : listed) {
        EXPECT_FALSE(device.name.empty());
        EXPECT_FALSE(device.description.empty());
        EXPECT_EQ(device.hardware.dwSize, 252u);
        EXPECT_EQ(device.software.dwSize, 252u);
    }
    EXPECT_EQ(d3d->Release(), 0u);
}

TEST_F(D3DEnumTest, DescriptionsSayWhatEachDeviceIs) {
    IDirect3D2* d3d = Direct3D2();
    std::vector<Listed> listed = ListDevices(d3d);
    ASSERT_EQ(listed.size(), 3u);

    const D3DDEVICEDESC& mono = listed[0].software;
    EXPECT_EQ(listed[0].hardware.dcmColorModel, 0u);
    EXPECT_EQ(mono.dcmColorModel, DWORD{D3DCOLOR_MONO});

    EXPECT_EQ(listed[1].hardware.dcmColorModel, 0u);
    EXPECT_EQ(listed[1].software.dcmColorModel, DWORD{D3DCOLOR_RGB});

    const D3DDEVICEDESC& hal = listed[2].hardware;
    EXPECT_EQ(listed[2].software.dcmColorModel, 0u);
    EXPECT_EQ(hal.dcmColorModel, DWORD{D3DCOLOR_RGB});
    EXPECT_TRUE(hal.dwDeviceZBufferBitDepth & DDBD_16);
    EXPECT_TRUE(hal.dwDeviceRenderBitDepth & DDBD_16);
    EXPECT_FALSE(hal.dwDeviceRenderBitDepth & DDBD_8);
    EXPECT_NE(hal.dpcTriCaps.dwTextureFilterCaps, 0u);
    EXPECT_TRUE(hal.dpcTriCaps.dwRasterCaps & D3DPRASTERCAPS_FOGTABLE);
    EXPECT_EQ(d3d->Release(), 0u);
}

TEST_F(D3DEnumTest, DefaultMachinePassesStartUpOnEitherPath) {
    IDirect3D2* d3d = Direct3D2();
    // With 3D hardware the engine asks for RGB and gets the hardware device.
    Choice hardware = ChooseDevice(d3d, D3DCOLOR_RGB);
    EXPECT_EQ(hardware.hardware, &IID_IDirect3DHALDevice);
    // Short of video memory it asks for mono and gets the mono software device.
    Choice software = ChooseDevice(d3d, D3DCOLOR_MONO);
    EXPECT_EQ(software.hardware, nullptr);
    EXPECT_EQ(software.software, &IID_IDirect3DRampDevice);
    EXPECT_EQ(d3d->Release(), 0u);
}

TEST_F(D3DEnumTest, NoHardware3DListsOnlySoftwareDevices) {
    SetMachine3D(false, true);
    IDirect3D2* d3d = Direct3D2();
    std::vector<Listed> listed = ListDevices(d3d);
    ASSERT_EQ(listed.size(), 2u);
    for (const Listed& device : listed)
        EXPECT_EQ(device.hardware.dcmColorModel, 0u);
    EXPECT_EQ(ChooseDevice(d3d, D3DCOLOR_MONO).software, &IID_IDirect3DRampDevice);
    EXPECT_EQ(ChooseDevice(d3d, D3DCOLOR_RGB).hardware, nullptr);
    EXPECT_EQ(d3d->Release(), 0u);
}

TEST_F(D3DEnumTest, NoSoftware3DListsOnlyTheHardwareDevice) {
    SetMachine3D(true, false);
    IDirect3D2* d3d = Direct3D2();
    std::vector<Listed> listed = ListDevices(d3d);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].guid, &IID_IDirect3DHALDevice);
    // Without hardware 3D in the driver's caps the engine asks for mono: nothing fits.
    Choice software = ChooseDevice(d3d, D3DCOLOR_MONO);
    EXPECT_EQ(software.hardware, nullptr);
    EXPECT_EQ(software.software, nullptr);
    EXPECT_EQ(d3d->Release(), 0u);
}

TEST_F(D3DEnumTest, NoDevicesAtAllListsNothing) {
    SetMachine3D(false, false);
    IDirect3D2* d3d = Direct3D2();
    EXPECT_TRUE(ListDevices(d3d).empty());
    Choice none = ChooseDevice(d3d, D3DCOLOR_RGB);
    EXPECT_EQ(none.hardware, nullptr);
    EXPECT_EQ(none.software, nullptr);
    EXPECT_EQ(d3d->Release(), 0u);
}

TEST_F(D3DEnumTest, CallbackCanStopTheListing) {
    IDirect3D2* d3d = Direct3D2();
    int calls = 0;
    auto stop = [](GUID*, char*, char*, D3DDEVICEDESC*, D3DDEVICEDESC*, void* context) -> HRESULT {
        ++*static_cast<int*>(context);
        return D3DENUMRET_CANCEL;
    };
    EXPECT_EQ(d3d->EnumDevices(stop, &calls), D3D_OK);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(d3d->EnumDevices(nullptr, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(d3d->Release(), 0u);
}

TEST_F(D3DEnumTest, ListingsHandOutFreshDescriptionsAndStableIds) {
    IDirect3D2* d3d = Direct3D2();
    auto scribble = [](GUID*, char*, char*, D3DDEVICEDESC* hardware, D3DDEVICEDESC* software,
                       void*) -> HRESULT {
        hardware->dcmColorModel = 0xFFFF;
        software->dwDeviceZBufferBitDepth = 0;
        return D3DENUMRET_OK;
    };
    EXPECT_EQ(d3d->EnumDevices(scribble, nullptr), D3D_OK);
    std::vector<Listed> first = ListDevices(d3d);
    std::vector<Listed> second = ListDevices(d3d);
    ASSERT_EQ(first.size(), 3u);
    ASSERT_EQ(second.size(), 3u);
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].guid, second[i].guid);
        EXPECT_NE(first[i].hardware.dcmColorModel, 0xFFFFu);
    }
    EXPECT_NE(first[1].software.dwDeviceZBufferBitDepth, 0u);
    EXPECT_EQ(d3d->Release(), 0u);
}

TEST_F(D3DEnumTest, BothInterfacesShareOneObjectAndHoldTheDirectDrawObject) {
    ULONG ddBefore = CountOf(dd_);
    IDirect3D2* d3d2 = Direct3D2();
    ASSERT_NE(d3d2, nullptr);
    EXPECT_EQ(CountOf(dd_), ddBefore + 1);

    IDirect3D* d3d = nullptr;
    ASSERT_EQ(d3d2->QueryInterface(IID_IDirect3D, reinterpret_cast<void**>(&d3d)), S_OK);
    EXPECT_EQ(CountOf(d3d2), 2u);
    std::vector<Listed> listed;
    EXPECT_EQ(d3d->EnumDevices(&Collect, &listed), D3D_OK);
    EXPECT_EQ(listed.size(), 3u);

    IUnknown* a = nullptr;
    IUnknown* b = nullptr;
    ASSERT_EQ(d3d->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&a)), S_OK);
    ASSERT_EQ(d3d2->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&b)), S_OK);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a->Release(), 3u);
    EXPECT_EQ(b->Release(), 2u);

    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(d3d2->QueryInterface(IID_IDirect3DDevice2, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);

    EXPECT_EQ(d3d->Release(), 1u);
    EXPECT_EQ(d3d2->Release(), 0u);
    EXPECT_EQ(CountOf(dd_), ddBefore);
}

} // namespace
