# Starts velkui-workbench --serve on a copy of a plug-in in a fresh folder, for the page's tests.
import json
import os
import shutil
import subprocess
import tempfile
import urllib.request


class PageServer:
    """The workbench serving a pane; the start folder is a fresh temporary one holding
    a copy of the plug-in (so a test can 'rebuild' it) with its layout and resources."""

    def __init__(self, workbench, plugin, presets, pane_files):
        workbench, plugin, presets = map(os.path.abspath, (workbench, plugin, presets))
        self.folder = tempfile.mkdtemp(prefix='velkui-page-')
        self.plugin = os.path.join(self.folder, os.path.basename(plugin))
        shutil.copy(plugin, self.plugin)
        for name in pane_files:  # layout and resource folder beside the plug-in
            source = os.path.join(os.path.dirname(plugin), name)
            copy = shutil.copytree if os.path.isdir(source) else shutil.copy
            copy(source, os.path.join(self.folder, name))
        self.process = subprocess.Popen(
            [workbench, self.plugin, '--serve', '0', '--presets', presets],
            cwd=self.folder, stdout=subprocess.PIPE, text=True)
        line = self.process.stdout.readline()
        if ' at http://' not in line:
            raise RuntimeError('the workbench did not start serving: ' + line)
        self.url = line.split(' at ')[-1].strip()
        self.hostport = self.url.split('//')[1].rstrip('/')

    def request(self, path, body=None, headers=None):
        """(status, decoded JSON or text) of a GET, or a POST when body is given."""
        data = None if body is None else json.dumps(body).encode()
        headers = dict({'Content-Type': 'application/json'} if data else {}, **(headers or {}))
        request = urllib.request.Request(self.url.rstrip('/') + path, data=data, headers=headers)
        try:
            with urllib.request.urlopen(request, timeout=30) as response:
                status, text = response.status, response.read().decode()
        except urllib.error.HTTPError as error:
            status, text = error.code, error.read().decode()
        try:
            return status, json.loads(text)
        except ValueError:  # not JSON: the text itself
            return status, text

    def stop(self):
        """Ends the server as a person would (SIGTERM); its exit status."""
        self.process.terminate()
        status = self.process.wait(timeout=60)
        shutil.rmtree(self.folder, ignore_errors=True)
        return status
