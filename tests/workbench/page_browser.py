# The page in headless Chromium, driven as a person would: clicks, a popup, keys, a slider drag,
# settings saved and loaded, a rebuilt plug-in reloaded, a session recorded.
# Usage: page_browser.py WORKBENCH PLUGIN PRESETS [SCREENSHOT_DIR]
import os
import subprocess
import sys
import tempfile
import time
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

from pageserver import PageServer

WORKBENCH, PLUGIN, PRESETS = sys.argv[1:4]
SHOTS = sys.argv[4] if len(sys.argv) > 4 else None
if SHOTS:
    os.makedirs(SHOTS, exist_ok=True)


def chromium():
    options = webdriver.ChromeOptions()
    options.binary_location = '/usr/bin/chromium'
    for arg in ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                '--disable-background-networking', '--disable-component-update', '--disable-sync',
                '--window-size=1400,1000', '--user-data-dir=' + tempfile.mkdtemp(prefix='velkui-chromium-')]:
        options.add_argument(arg)
    return webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)


class Page(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = PageServer(WORKBENCH, PLUGIN, PRESETS, ['monochrome.json', 'resources'])
        cls.browser = chromium()
        cls.browser.get(cls.server.url)
        cls.wait_until(cls, lambda: cls.browser.execute_script('return document.getElementById("pane").dataset.frame'))

    @classmethod
    def tearDownClass(cls):
        cls.browser.quit()
        assert cls.server.stop() == 0, 'the server did not end cleanly on SIGTERM'

    def wait_until(self, condition, what='the page to catch up'):
        return WebDriverWait(self.browser, 20).until(lambda _: condition(), 'waited for ' + what)

    def state(self):
        return self.browser.execute_script('return window.velkuiState')

    def control(self, ident):
        return next(c for c in self.state()['controls'] if c['id'] == ident)

    def registry(self, key):
        return next(r['value'] for r in self.state()['registry'] if r['key'] == key)

    def settled(self):
        """Waits until every input sent is answered and its picture shown."""
        self.wait_until(lambda: self.browser.execute_script(
            'return window.velkuiState && velkuiPending() == 0 && '
            'document.getElementById("pane").dataset.frame == velkuiState.frame'))

    def press(self, x, y, then=None):
        """Mouse down at window point (x, y), optionally moving to then=(x, y), and up."""
        pane = self.browser.find_element(By.ID, 'pane')
        chain = ActionChains(self.browser, duration=50)
        chain.move_to_element_with_offset(pane, x - pane.size['width'] / 2, y - pane.size['height'] / 2)
        chain.click_and_hold()
        if then:
            for i in range(1, 9):  # a drag through intermediate points, as a hand makes it
                chain.move_by_offset((then[0] - x) / 8, (then[1] - y) / 8)
        chain.release().perform()
        self.settled()

    def click(self, ident, dx=0):
        top, left, bottom, right = self.control(ident)['bounds']
        self.press(left + 10 + dx, (top + bottom) / 2)

    def pixels(self, bounds):
        """The pane's pixels inside bounds (window points), as the page shows them."""
        return self.browser.execute_script('''
            const [t, l, b, r] = arguments[0], canvas = document.getElementById('pane');
            const k = canvas.width / canvas.clientWidth;
            return Array.from(canvas.getContext('2d').getImageData(l * k, t * k, (r - l) * k, (b - t) * k).data);''',
                                           bounds)

    def shot(self, name):
        if SHOTS:
            self.browser.save_screenshot(os.path.join(SHOTS, name + '.png'))

    def test_1_check_box_and_popup(self):
        key = next(r['key'] for r in self.state()['registry'] if r['key'].startswith('bord'))
        was = self.registry(key)
        self.click('MONO:3')
        self.assertNotEqual(self.registry(key), was, 'the check box click changed no registry value')
        self.assertEqual(self.control('MONO:3')['value'], 1)
        self.click('MONO:1', dx=80)
        menu = self.browser.find_element(By.ID, 'menu')
        self.assertTrue(menu.is_displayed(), 'the popup menu did not open')
        self.shot('page-popup-open')
        menu.find_element(By.CSS_SELECTOR, 'div[data-entry="3"]').click()
        self.settled()
        self.assertEqual(self.control('MONO:1')['value'], 3)
        self.assertFalse(menu.is_displayed())

    def test_2_number_with_a_rejected_key(self):
        self.click('MONO:6')  # the brightness field
        stage = self.browser.find_element(By.ID, 'stage')
        stage.send_keys('\b' * 6 + '2')
        self.settled()
        stage.send_keys('x')  # no digit: the field's key filter refuses it
        self.settled()
        beep = self.browser.find_element(By.ID, 'beep')
        self.assertTrue(beep.is_displayed(), 'the refused key showed no beep')
        self.shot('page-beep')
        stage.send_keys('0')
        self.settled()
        self.assertFalse(beep.is_displayed(), 'a passed key still shows the beep')
        self.assertEqual(self.control('MONO:6')['text'], '20')

    def test_3_slider_drag_redraws_the_preview(self):
        slider, preview = self.control('MONO:5'), self.control('MONO:30')
        before = self.pixels(preview['bounds'])
        top, left, bottom, right = slider['bounds']
        self.press(left + 10, (top + bottom) / 2, then=(right + 20, (top + bottom) / 2))
        self.assertEqual(self.control('MONO:5')['value'], slider['max'])
        self.assertNotEqual(self.pixels(preview['bounds']), before, 'the drag changed no pixel of the preview')
        self.shot('page-after-drag')

    def test_4_settings_saved_and_loaded(self):
        self.click('MONO:3')
        field = self.browser.find_element(By.ID, 'settings-file')
        field.clear()
        field.send_keys('mine.json')
        self.browser.find_element(By.ID, 'save-settings').click()
        self.settled()
        self.assertTrue(os.path.exists(os.path.join(self.server.folder, 'mine.json')))
        saved = self.control('MONO:3')['value']
        self.click('MONO:3')
        self.assertNotEqual(self.control('MONO:3')['value'], saved)
        self.browser.find_element(By.ID, 'load-settings').click()
        self.wait_until(lambda: self.control('MONO:3')['value'] == saved, 'the settings loaded')

    def test_5_rebuilt_plug_in_reloads_with_its_settings(self):
        value = self.control('MONO:1')['value']
        os.utime(self.server.plugin, (time.time() + 5, time.time() + 5))
        reload_button = self.browser.find_element(By.ID, 'reload')
        self.wait_until(reload_button.is_displayed, 'the offer to reload')
        reload_button.click()
        self.wait_until(lambda: not reload_button.is_displayed(), 'the reload')
        self.settled()
        self.assertEqual(self.control('MONO:1')['value'], value, 'settings not carried over')
        self.assertIn('# the plug-in reloaded', self.browser.find_element(By.ID, 'journal').text)

    def test_6_recorded_session_runs_in_scripted_mode(self):
        record = self.browser.find_element(By.ID, 'record')
        record.click()
        self.wait_until(lambda: self.state()['recording'], 'recording to start')
        self.click('MONO:11')
        self.click('MONO:1', dx=80)
        self.browser.find_element(By.CSS_SELECTOR, '#menu div[data-entry="1"]').click()
        self.settled()
        record.click()
        self.wait_until(lambda: not self.state()['recording'], 'recording to stop')
        status, script = self.server.request('/session.script')
        self.assertEqual(status, 200)
        self.assertIn('click MONO:11\nchoose MONO:1 1\n', script)
        self.shot('page-recorded')
        path = os.path.join(self.server.folder, 'recorded.session')
        with open(path, 'w') as out:
            out.write(script + 'expect value MONO:1 1\n')
        run = subprocess.run([WORKBENCH, PLUGIN, path, '-o', self.server.folder], capture_output=True, text=True)
        self.assertEqual(run.returncode, 0, run.stderr)


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1])
