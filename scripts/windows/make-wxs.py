#!/usr/bin/python3
"""Writes the WiX source of Corvanel's Windows installer for wixl, from a staged bundle folder.

    make-wxs.py STAGE VERSION ICON > corvanel.wxs   (sources are named relative to the current
    folder, where wixl must find them: write the .wxs there)

The installer is per user: the files go to %LOCALAPPDATA%\\Programs\\Corvanel, the Start menu gets
an entry for the window, Explorer's "Send to" menu one that starts the window with the selected
files and folders (an open window takes them into its list), and the folder is added to the
user's PATH so that corvanel-convert runs from any console. Component GUIDs derive from the
installed paths, so they stay the same from one version to the next, as Windows Installer
requires of a component that keeps its files.
"""

import os
import sys
import uuid
from xml.sax.saxutils import quoteattr

# Fixed for the product's whole life: Windows Installer recognises later versions by it.
UPGRADE_CODE = "6C1E4E0B-3F7A-4E55-9C1B-2D6A51C0B7E1"
GUID_NAMESPACE = uuid.UUID("0F4D2B7C-8C1A-4B8E-A4A5-3E0F7E2C9D10")
# Per-user components need a registry value as their key path.
REGISTRY_KEY = r"Software\Brindlewood\Corvanel Installer"


def guid(name):
    return str(uuid.uuid5(GUID_NAMESPACE, name)).upper()


def identifier(prefix, relative):
    # Identifiers allow letters, digits, "_" and "."; a hash keeps distinct paths distinct.
    safe = "".join(c if c.isalnum() else "_" for c in relative)[-40:]
    return f"{prefix}{uuid.uuid5(GUID_NAMESPACE, relative).hex[:8]}_{safe}"


def key_path(name):
    return (f'<RegistryValue Root="HKCU" Key={quoteattr(REGISTRY_KEY)} Name={quoteattr(name)} '
            'Type="integer" Value="1" KeyPath="yes"/>')


def emit_directory(stage, relative, out, components, depth):
    indent = "  " * depth
    folder = os.path.join(stage, relative)
    for name in sorted(os.listdir(folder)):
        path = os.path.join(folder, name)
        rel = os.path.join(relative, name) if relative else name
        if os.path.isdir(path):
            directory_id = identifier("d", rel)
            out.append(f"{indent}<Directory Id={quoteattr(directory_id)} Name={quoteattr(name)}>")
            # Each folder is removed on uninstall with the component of its first file.
            emit_directory(stage, rel, out, components, depth + 1)
            out.append(f"{indent}</Directory>")
            continue
        component = identifier("c", rel)
        components.append(component)
        remove = ""
        if relative:
            remove = (f'<RemoveFolder Id={quoteattr(identifier("r", rel))} On="uninstall"/>')
        out.append(
            f"{indent}<Component Id={quoteattr(component)} Guid={quoteattr(guid(rel))}>"
            f"<File Id={quoteattr(identifier('f', rel))} Name={quoteattr(name)} "
            f"Source={quoteattr(os.path.relpath(path))}/>{key_path(rel)}{remove}</Component>")


def shortcut(folder, component, guid_name, shortcut_id, description, key):
    """A folder of the user's shell (Start menu, Send To) holding a shortcut to the window."""
    return f"""      <Directory Id="{folder}">
        <Component Id="{component}" Guid="{guid(guid_name)}">
          <Shortcut Id="{shortcut_id}" Name="Corvanel" Target="[INSTALLDIR]corvanel.exe"
                    WorkingDirectory="INSTALLDIR" Icon="corvanel.ico"
                    Description={quoteattr(description)}/>
          {key_path(key)}
        </Component>
      </Directory>"""


def main():
    stage, version, icon = sys.argv[1:4]
    out, components = [], []
    emit_directory(stage, "", out, components, 6)
    files = "\n".join(out)
    refs = "\n".join(f'      <ComponentRef Id="{c}"/>' for c in components)
    print(f"""<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="*" Name="Corvanel" Language="1033" Version="{version}"
           Manufacturer="Brindlewood" UpgradeCode="{UPGRADE_CODE}">
    <Package InstallerVersion="500" Compressed="yes" InstallScope="perUser"
             Description="Corvanel {version}"
             Comments="Turns batches of word-processing documents into plain text"/>
    <Media Id="1" Cabinet="corvanel.cab" EmbedCab="yes"/>
    <MajorUpgrade DowngradeErrorMessage="A newer version of Corvanel is already installed."/>
    <Icon Id="corvanel.ico" SourceFile={quoteattr(os.path.relpath(icon))}/>
    <Property Id="ARPPRODUCTICON" Value="corvanel.ico"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="LocalAppDataFolder">
        <Directory Id="ProgramsFolder" Name="Programs">
          <Directory Id="INSTALLDIR" Name="Corvanel">
{files}
            <Component Id="UserPath" Guid="{guid('user PATH')}">
              {key_path('PATH')}
              <RemoveFolder Id="RemoveInstallDir" On="uninstall"/>
            </Component>
          </Directory>
          <Component Id="ProgramsFolderRemove" Guid="{guid('Programs folder')}">
            <RemoveFolder Id="RemoveProgramsFolder" On="uninstall"/>
            {key_path('Programs')}
          </Component>
        </Directory>
      </Directory>
{shortcut("ProgramMenuFolder", "StartMenuEntry", "Start menu entry", "WindowShortcut",
          "Turns batches of word-processing documents into plain text", "StartMenu")}
{shortcut("SendToFolder", "SendToEntry", "Send to entry", "SendToShortcut",
          "Adds the documents to Corvanel's list", "SendTo")}
    </Directory>
    <Feature Id="Corvanel" Title="Corvanel" Level="1">
{refs}
      <ComponentRef Id="UserPath"/>
      <ComponentRef Id="ProgramsFolderRemove"/>
      <ComponentRef Id="StartMenuEntry"/>
      <ComponentRef Id="SendToEntry"/>
    </Feature>
  </Product>
</Wix>""")


if __name__ == "__main__":
    main()
