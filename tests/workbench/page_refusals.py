# The page's server refuses what another page or a broken client sends, and the pane goes on.
# Usage: page_refusals.py WORKBENCH PLUGIN PRESETS
import os
import socket
import sys
import unittest

from pageserver import PageServer

ARGS = sys.argv[1:4]


class Refusals(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = PageServer(*ARGS, ['monochrome.json', 'resources'])

    @classmethod
    def tearDownClass(cls):
        assert cls.server.stop() == 0, 'the server did not end cleanly on SIGTERM'

    def assert_pane_goes_on(self):
        status, state = self.server.request('/api/state')
        self.assertEqual(status, 200)
        self.assertTrue(state['running'] and state['shown'], state)

    def raw(self, data):
        with socket.create_connection(self.server.hostport.split(':'), timeout=10) as s:
            s.sendall(data)
            return s.recv(4096).decode(errors='replace')

    def test_foreign_requests_are_refused(self):
        port = self.server.hostport.split(':')[1]
        before = self.server.request('/api/state')[1]['frame']
        cases = [  # (what, path, body, headers)
            ('Host of another name', '/api/state', None, {'Host': 'attacker.example:' + port}),
            ('Host of another port', '/api/input', {'line': 'click MONO:3'}, {'Host': '127.0.0.1:1'}),
            ('Origin of another site', '/api/input', {'line': 'click MONO:3'},
             {'Origin': 'http://attacker.example'}),
        ]
        for what, path, body, headers in cases:
            with self.subTest(what):
                status, reply = self.server.request(path, body, headers)
                self.assertEqual(status, 403, reply)
        _, state = self.server.request('/api/state')
        self.assertEqual(state['frame'], before, 'a refused request reached the pane')

    def test_malformed_requests_get_400(self):
        cases = [
            ('no HTTP at all', b'\x00\x01garbage\r\n\r\n'),
            ('a body that is no JSON', b'POST /api/input HTTP/1.1\r\nHost: %s\r\nContent-Type: '
             b'application/json\r\nContent-Length: 5\r\n\r\n{oops' % self.server.hostport.encode()),
        ]
        for what, data in cases:
            with self.subTest(what):
                self.assertRegex(self.raw(data), r'^HTTP/1\.1 400 ')
                self.assert_pane_goes_on()
        for line in ['click', 'expect beep', 'snapshot x', 'frobnicate MONO:3']:
            with self.subTest(line):
                status, reply = self.server.request('/api/input', {'line': line})
                self.assertEqual(status, 400, reply)
                self.assertIn('error', reply)

    def test_settings_stay_in_the_start_folder(self):
        outside = os.path.join(os.path.dirname(self.server.folder), 'velkui-outside.json')
        for name in ['../velkui-outside.json', outside, 'sub/../../velkui-outside.json']:
            for verb in ['save-settings', 'load-settings']:
                with self.subTest(verb=verb, name=name):
                    status, reply = self.server.request('/api/input', {'line': f'{verb} "{name}"'})
                    self.assertEqual(status, 403, reply)
                    self.assertIn('outside the folder', reply['error'])
        self.assertFalse(os.path.exists(outside))
        status, _ = self.server.request('/api/input', {'line': 'save-settings "inside.json"'})
        self.assertEqual(status, 200)
        self.assertTrue(os.path.exists(os.path.join(self.server.folder, 'inside.json')))
        self.assert_pane_goes_on()


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1] + sys.argv[4:])
